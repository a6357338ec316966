#pragma once

#include <cstdio>

// Screens an Ogg file before libvorbis decodes it. libvorbis 1.3.7 accepts setup headers
// whose residue stage books have dimension 0 and then, on the first audio packet,
// divides by that dimension (residue 0: SIGFPE) or loops for ever (residues 1 and 2).
// The check reads the identification and setup headers of every Vorbis stream in the
// file (chained files included) with libogg and refuses such headers, along with
// identification headers no decoder could use. Files it cannot make sense of as Vorbis
// are left for libvorbisfile to refuse.
// It reads the pages in file order, as a player does; libvorbisfile also seeks and may
// find other pages, so the check narrows what reaches libvorbis without guarding all of
// it. The game therefore decodes music in a process of its own (see MusicDecoder).
class VorbisHeaderCheck {
public:
    // Reads the file from where it stands to its end.
    static bool safeToDecode(std::FILE* file);
};
