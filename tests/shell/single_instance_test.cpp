#include "app/single_instance.h"
#include "support/private_bus.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;
using Role = SingleInstance::Role;

// A second launch on a desktop is tried in tests/desktop; here the links it hands over.
TEST(SingleInstance, TheFirstProcessOwnsTheNameAndLaterOnesHandOverTheirLinksInOrder)
{
    PrivateBus bus;
    auto first = std::make_unique<SingleInstance>(bus.connect(u"first"_s));
    SingleInstance second(bus.connect(u"second"_s));
    ASSERT_EQ(first->claim(), Role::primary);
    ASSERT_EQ(second.claim(), Role::secondary);

    QSignalSpy activations(first.get(), &SingleInstance::activationRequested);
    QSignalSpy links(first.get(), &SingleInstance::urlsReceived);
    EXPECT_TRUE(second.handOver({}).has_value());
    const QStringList urls {u"ribbex://spotify-callback?code=1"_s, u"ribbex://spotify-callback?code=2"_s};
    EXPECT_TRUE(second.handOver(urls).has_value());
    EXPECT_EQ(activations.size(), 1);
    ASSERT_EQ(links.size(), 1);
    EXPECT_EQ(links.first().first().toStringList(), urls);

    // Once the first is gone the name is free again; without a bus every process runs alone.
    first.reset();
    EXPECT_EQ(SingleInstance(bus.connect(u"third"_s)).claim(), Role::primary);
    EXPECT_EQ(SingleInstance(QDBusConnection(u"no such connection"_s)).claim(), Role::alone);
}

} // namespace
} // namespace ribbex::test
