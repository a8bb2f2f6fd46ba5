// The --help texts of tlx-fwu and of each of its commands.
#pragma once

namespace tlx::fwu {

inline constexpr char kToolHelp[] =
    R"(usage: tlx-fwu COMMAND [options]

Makes and inspects .fwu firmware containers for the Tambrelux Pro Updater.

commands:
  pack     build a container from a flash payload or from a whole image
  unpack   decode a container into its image or its payload
  info     show a container's header and whether the updater would accept it

"tlx-fwu COMMAND --help" lists the options of a command.
Exit status: 0 done; 1 (info only) the updater would refuse the container;
2 a wrong command line or a file that could not be read or written.
)";

inline constexpr char kPackHelp[] =
    R"(usage: tlx-fwu pack PAYLOAD.bin -o OUT.fwu --version MAJOR.MINOR [--byte2 N] [--length N] [--force]
       tlx-fwu pack --image IMAGE.bin -o OUT.fwu [--force]

Puts the 8-byte header ("FW", byte 2, the version byte, the big-endian length field) in
front of a flash payload of at most 65,536 bytes, pads a shorter payload with 0xFF (erased
flash), and encodes the 65,544-byte image into a 262,176-byte container with fresh random
fillers. With --image, encodes a whole 65,544-byte image as it is.

options:
  -o, --output OUT.fwu   the container to write
  --version MAJOR.MINOR  the image's version, each number 0 to 15; the updater needs 1.2 or later
  --byte2 N              header byte 2, 0 to 255 (default 0)
  --length N             the length field, at most 16,777,215 so that byte 4 is 0
                         (default: the payload's size in bytes)
  --image IMAGE.bin      encode this whole image instead of building one
  --force                replace OUT.fwu if it exists
Numbers are decimal, or hexadecimal after "0x".
)";

inline constexpr char kUnpackHelp[] =
    R"(usage: tlx-fwu unpack IN.fwu -o OUT.bin [--payload] [--force]

Decodes the first 262,176 bytes of a container, as the updater does, and writes the
65,544-byte image, header included.

options:
  -o, --output OUT.bin   the file to write
  --payload              write only the 65,536-byte flash payload, without the header
  --force                replace OUT.bin if it exists
)";

inline constexpr char kInfoHelp[] =
    R"(usage: tlx-fwu info IN.fwu

Shows the container's size and header fields, and whether the updater would accept it and,
if not, why. Exits with 0 when the updater would accept it and with 1 when it would not.
)";

}  // namespace tlx::fwu
