#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <vector>

namespace pennolux::testing {

// Every pixel random: incompressible, and any channel mix-up shows.
QImage NoiseImage(int width, int height, std::uint32_t seed = 1);
// Smooth colour ramps, on which lossy encoders stay close to the original.
QImage GradientImage(int width, int height);
// The image's pixels as R, G, B bytes, for comparing with decoded files.
QImage AsRgb888(const QImage& image);
// Mean of the absolute channel differences of two RGB888 images of one size.
double MeanChannelDifference(const QImage& a, const QImage& b);

std::uint32_t BigEndian32(const QByteArray& bytes, qsizetype at);
std::uint32_t LittleEndian32(const QByteArray& bytes, qsizetype at);
std::uint16_t LittleEndian16(const QByteArray& bytes, qsizetype at);

QByteArray ReadWholeFile(const QString& path);
void WriteWholeFile(const QString& path, const QByteArray& bytes);

} // namespace pennolux::testing
