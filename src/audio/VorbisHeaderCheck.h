#pragma once

#include <string>

// Screens an Ogg file before libvorbis decodes it. libvorbis 1.3.7 accepts setup headers
// whose residue stage books have dimension 0 and then, on the first audio packet,
// divides by that dimension (residue 0: SIGFPE) or loops for ever (residues 1 and 2).
// The check reads the identification and setup headers of every Vorbis stream in the
// file (chained files included) with libogg and refuses such headers, along with
// identification headers no decoder could use. Files it cannot make sense of as Vorbis
// are left for libvorbisfile to refuse.
class VorbisHeaderCheck {
public:
    static bool safeToDecode(const std::string& path);
};
