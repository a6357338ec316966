#include "render/TextureList.h"

#include "core/TextTokens.h"

std::vector<TextureList::Entry> TextureList::read(const std::string& path, ProblemSink& problems) {
    TextFile file(path, problems);
    TextTokens tokens(file);
    std::vector<Entry> entries;
    Entry entry;
    while (tokens.next(entry.file)) {
        entry.line = tokens.line();
        if (!tokens.next(entry.name)) {
            file.report(entry.line, "image '" + entry.file + "' has no texture name after it");
            break;
        }
        entries.push_back(entry);
    }
    return entries;
}
