#include "ticker/coverage_image.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

// The loops below are kept plain, over whole rows and in 16-bit arithmetic, so the compiler turns
// them into vector instructions: a long run picture has about a million pixels.

namespace ribbex {

namespace {

// Row-major bytes without the image's line padding.
struct Plane {
    int width = 0;
    int height = 0;
    std::vector<quint8> bytes;

    quint8 *row(int y) { return bytes.data() + static_cast<size_t>(y) * static_cast<size_t>(width); }
    const quint8 *row(int y) const { return bytes.data() + static_cast<size_t>(y) * static_cast<size_t>(width); }
};

bool isCovered(const quint8 *row, size_t width)
{
    quint8 any = 0;
    for (size_t x = 0; x < width; ++x)
        any |= row[x];
    return any != 0;
}

// The first and one past the last row with any coverage; rows outside stay clear.
std::pair<int, int> coveredRows(const QImage &coverage)
{
    const auto width = static_cast<size_t>(coverage.width());
    int first = 0;
    while (first < coverage.height() && !isCovered(coverage.constScanLine(first), width))
        ++first;
    int last = coverage.height();
    while (last > first && !isCovered(coverage.constScanLine(last - 1), width))
        --last;
    return {first, last};
}

// Three box blurs in a row approximate a Gaussian of this standard deviation.
std::array<int, 3> boxRadii(double sigma)
{
    const double ideal = std::sqrt(4 * sigma * sigma + 1);
    int lower = static_cast<int>(std::floor(ideal));
    if (lower % 2 == 0)
        --lower;
    const double lowerCount = (12 * sigma * sigma - 3.0 * lower * lower - 12.0 * lower - 9) / (-4.0 * lower - 4);
    const long count = std::lround(lowerCount);
    std::array<int, 3> radii {};
    for (size_t i = 0; i < radii.size(); ++i)
        radii[i] = ((static_cast<long>(i) < count ? lower : lower + 2) - 1) / 2;
    return radii;
}

// The three boxes convolved into one kernel whose weights sum to 256.
std::vector<quint16> blurKernel(double sigma)
{
    std::vector<double> kernel {1.0};
    for (const int radius : boxRadii(sigma)) {
        std::vector<double> wider(kernel.size() + 2 * static_cast<size_t>(radius), 0.0);
        for (size_t i = 0; i < kernel.size(); ++i)
            for (size_t k = 0; k <= 2 * static_cast<size_t>(radius); ++k)
                wider[i + k] += kernel[i];
        kernel = std::move(wider);
    }
    double total = 0;
    for (const double weight : kernel)
        total += weight;
    std::vector<quint16> weights;
    int sum = 0;
    for (const double weight : kernel) {
        weights.push_back(static_cast<quint16>(std::lround(weight * 256 / total)));
        sum += weights.back();
    }
    weights[weights.size() / 2] = static_cast<quint16>(weights[weights.size() / 2] + 256 - sum);
    return weights;
}

quint8 weightedMean(quint16 sum)
{
    return static_cast<quint8>((sum + 128) >> 8);
}

void blurRows(Plane &plane, const std::vector<quint16> &kernel)
{
    const auto width = static_cast<size_t>(plane.width);
    const size_t radius = kernel.size() / 2;
    std::vector<quint8> padded(width + 2 * radius, 0);
    std::vector<quint16> sums(width);
    for (int y = 0; y < plane.height; ++y) {
        quint8 *row = plane.row(y);
        std::copy_n(row, width, padded.begin() + static_cast<std::ptrdiff_t>(radius));
        std::fill(sums.begin(), sums.end(), 0);
        for (size_t k = 0; k < kernel.size(); ++k) {
            const quint16 weight = kernel[k];
            const quint8 *in = padded.data() + k;
            for (size_t x = 0; x < width; ++x)
                sums[x] = static_cast<quint16>(sums[x] + weight * in[x]);
        }
        for (size_t x = 0; x < width; ++x)
            row[x] = weightedMean(sums[x]);
    }
}

Plane blurColumns(const Plane &source, const std::vector<quint16> &kernel)
{
    Plane target = source;
    const auto width = static_cast<size_t>(source.width);
    const int radius = static_cast<int>(kernel.size() / 2);
    std::vector<quint16> sums(width);
    for (int y = 0; y < source.height; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        for (int k = std::max(0, y - radius); k <= std::min(source.height - 1, y + radius); ++k) {
            const quint16 weight = kernel[static_cast<size_t>(k - y + radius)];
            const quint8 *in = source.row(k);
            for (size_t x = 0; x < width; ++x)
                sums[x] = static_cast<quint16>(sums[x] + weight * in[x]);
        }
        quint8 *out = target.row(y);
        for (size_t x = 0; x < width; ++x)
            out[x] = weightedMean(sums[x]);
    }
    return target;
}

// The blurred coverage of rows [first, last), with room above and below for the blur to spread.
Plane blurredBand(const QImage &coverage, int first, int last, double sigma, int &bandTop)
{
    const std::vector<quint16> kernel = blurKernel(sigma);
    const int spread = static_cast<int>(kernel.size() / 2);
    bandTop = std::max(0, first - spread);
    const int bandBottom = std::min(coverage.height(), last + spread);
    Plane plane {coverage.width(), bandBottom - bandTop, {}};
    plane.bytes.resize(static_cast<size_t>(plane.width) * static_cast<size_t>(plane.height));
    for (int y = 0; y < plane.height; ++y)
        std::copy_n(coverage.constScanLine(bandTop + y), plane.width, plane.row(y));
    if (kernel.size() == 1)
        return plane;
    blurRows(plane, kernel);
    return blurColumns(plane, kernel);
}

std::array<QRgb, 256> premultipliedShades(const QColor &color)
{
    std::array<QRgb, 256> shades {};
    for (size_t alpha = 0; alpha < shades.size(); ++alpha)
        shades[alpha] = qPremultiply(qRgba(color.red(), color.green(), color.blue(), static_cast<int>(alpha)));
    return shades;
}

quint16 opacityFactor(double opacity)
{
    return static_cast<quint16>(std::lround(std::clamp(opacity, 0.0, 1.0) * 255));
}

// x / 255, rounded, for x up to 65025.
quint16 divide255(quint16 x)
{
    return static_cast<quint16>((quint32 {static_cast<quint16>(x + 128)} * 257u) >> 16);
}

// Clear outside rows [first, last), which the caller fills.
QImage imageClearOutside(QSize size, int first, int last)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    const auto rowBytes = static_cast<size_t>(image.bytesPerLine());
    for (int y = 0; y < image.height(); ++y) {
        if (y == first)
            y = std::max(first, last);
        if (y < image.height())
            std::fill_n(image.scanLine(y), rowBytes, uchar {0});
    }
    return image;
}

void writeShades(const quint8 *alpha, QRgb *out, size_t width, const std::array<QRgb, 256> &shades)
{
    for (size_t x = 0; x < width; ++x)
        out[x] = shades[alpha[x]];
}

} // namespace

QImage tintedCoverage(const QImage &coverage, const QColor &color, double opacity)
{
    const std::array<QRgb, 256> shades = premultipliedShades(color);
    const quint16 factor = opacityFactor(opacity);
    const auto [first, last] = coveredRows(coverage);
    QImage image = imageClearOutside(coverage.size(), first, last);
    const auto width = static_cast<size_t>(coverage.width());
    std::vector<quint8> alpha(width);
    for (int y = first; y < last; ++y) {
        const quint8 *in = coverage.constScanLine(y);
        for (size_t x = 0; x < width; ++x)
            alpha[x] = static_cast<quint8>(divide255(static_cast<quint16>(in[x] * factor)));
        writeShades(alpha.data(), reinterpret_cast<QRgb *>(image.scanLine(y)), width, shades);
    }
    return image;
}

QImage coverageWithShadow(
    const QImage &coverage, const QColor &color, double shadowOpacity, double blurRadius, int margin)
{
    const QSize size(coverage.width() - 2 * margin, coverage.height());
    const auto [first, last] = coveredRows(coverage);
    if (first >= last)
        return imageClearOutside(size, 0, 0);
    int bandTop = 0;
    const Plane shadow = blurredBand(coverage, first, last, std::max(blurRadius, 0.0) / 2, bandTop);
    QImage image = imageClearOutside(size, bandTop, bandTop + shadow.height);

    // The sharp coverage a over its shadow s: a + s (1 - a).
    const std::array<QRgb, 256> shades = premultipliedShades(color);
    const quint16 factor = opacityFactor(shadowOpacity);
    const auto width = static_cast<size_t>(size.width());
    std::vector<quint8> alpha(width);
    for (int y = 0; y < shadow.height; ++y) {
        const quint8 *sharp = coverage.constScanLine(bandTop + y) + margin;
        const quint8 *blurred = shadow.row(y) + margin;
        for (size_t x = 0; x < width; ++x) {
            const quint16 s = divide255(static_cast<quint16>(blurred[x] * factor));
            alpha[x] = static_cast<quint8>(sharp[x] + divide255(static_cast<quint16>(s * (255 - sharp[x]))));
        }
        writeShades(alpha.data(), reinterpret_cast<QRgb *>(image.scanLine(bandTop + y)), width, shades);
    }
    return image;
}

int shadowSpread(double blurRadius)
{
    return static_cast<int>(blurKernel(std::max(blurRadius, 0.0) / 2).size() / 2);
}

} // namespace ribbex
