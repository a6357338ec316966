#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// Turns fuzz bytes into an Ogg Vorbis file whose headers hold together, so that what
// the fuzzer varies reaches libvorbis's setup and decoding instead of dying in its
// first checks: an identification header (one or two channels, any rate, block sizes
// 64 to 8192), a comment header, and a setup header with its codebooks (Huffman trees
// that are complete, lengths stored ordered or not, sparse or not, lattice or tessellated
// values), floors of types 0 and 1, residues of types 0, 1 and 2, mappings with submaps
// and channel coupling, and modes; then audio packets for those modes whose floors
// mostly say "sound here", with fuzz bytes as their codewords. Each choice takes a
// byte, most of them pick among values that fit the rest, and now and then a field
// takes a raw value instead. The stream may be followed by a second link, and one
// byte of the file may be flipped at the end.
std::string generateVorbis(const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
