#include "app/single_instance.h"
#include "support/private_bus.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;
using Role = SingleInstance::Role;

TEST(SingleInstance, TheFirstProcessOwnsTheNameAndLaterOnesHandOverInOrder)
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

    // Once the first is gone the name is free again.
    first.reset();
    SingleInstance third(bus.connect(u"third"_s));
    EXPECT_EQ(third.claim(), Role::primary);
}

TEST(SingleInstance, WithoutABusEveryProcessRunsAloneAndAHungOwnerIsReported)
{
    SingleInstance detached(QDBusConnection(u"no such connection"_s));
    EXPECT_EQ(detached.claim(), Role::alone);

    // A process holding the name without serving it: the hand-over fails with a reason.
    PrivateBus bus;
    QDBusConnection squatter = bus.connect(u"squatter"_s);
    ASSERT_TRUE(squatter.registerService(SingleInstance::serviceName));
    SingleInstance late(bus.connect(u"late"_s));
    ASSERT_EQ(late.claim(), Role::secondary);
    const auto handed = late.handOver({});
    ASSERT_FALSE(handed.has_value());
    EXPECT_TRUE(handed.error().startsWith(u"could not reach the running ribbex: "_s)) << handed.error().toStdString();
}

} // namespace
} // namespace ribbex::test
