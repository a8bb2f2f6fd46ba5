#include "firmware_file.h"

#include <QSaveFile>
#include <span>

#include "image/fwu_codec.h"

namespace tlx::ui::test {

std::vector<std::uint8_t> MakeImage(std::uint8_t versionByte) {
  std::vector<std::uint8_t> image(kImageSize, 0);
  image[0] = 'F';
  image[1] = 'W';
  image[kVersionOffset] = versionByte;
  for (std::size_t b = 0; b < kPayloadSize; ++b)
    image[kImageHeaderSize + b] = static_cast<std::uint8_t>(b * 7 + (b >> 8) + 1);
  return image;
}

bool WriteFwu(const QString& path, const std::vector<std::uint8_t>& image) {
  std::vector<std::uint8_t> container(kContainerSize);
  unsigned draw = 0;
  EncodeContainer(std::span<const std::uint8_t, kImageSize>(image.data(), kImageSize),
                  std::span<std::uint8_t, kContainerSize>(container.data(), kContainerSize),
                  [&draw] { return static_cast<double>(++draw % 997) / 997.0; });
  QSaveFile file(path);
  return file.open(QIODevice::WriteOnly) &&
         file.write(reinterpret_cast<const char*>(container.data()),
                    static_cast<qint64>(container.size())) ==
             static_cast<qint64>(container.size()) &&
         file.commit();
}

}  // namespace tlx::ui::test
