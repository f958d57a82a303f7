// The journal's text. Any bytes at all are read without a fault, and what is
// read obeys the journal's rules: every name a plain name, nothing read past
// the last whole line. And a journal written from moves of any bytes reads
// back as exactly those moves, however it was cut off: a cut never gives a
// move that was not written, nor loses one whose line was whole.

#include "fuzz_input.h"

#include "core/journal_format.h"
#include "platform/files/identity.h"
#include "platform/files/rename.h"

#include <string>
#include <vector>

namespace {

void check_rules(const renamer::journal_text& text, std::size_t size)
{
    FUZZ_CHECK(text.length <= size);
    for (const auto* list : {&text.entries, &text.kept})
        for (const auto& entry : *list)
            FUZZ_CHECK(platform::is_plain_name(entry.old_name) && platform::is_plain_name(entry.new_name) &&
                       !entry.key.empty());
    FUZZ_CHECK(text.renamed_nothing() == text.entries.empty() || !text.whole());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz_input in{data, size};
    if (in.flag()) {
        const std::string raw = in.rest();
        check_rules(renamer::parse_journal(raw), raw.size());
        return 0;
    }
    platform::folder_identity identity{in.byte(), in.byte(), in.byte(), in.byte(), in.byte()};
    std::string text = renamer::journal_head("/" + in.text(), identity, renamer::file_naming::inode, in.byte());
    std::vector<renamer::journal_entry> written;
    std::vector<std::size_t> ends;
    for (int k = in.byte() % 8; k > 0; --k) {
        renamer::journal_entry entry{renamer::inode_key(in.byte() + 1u), in.text(), in.text()};
        if (!platform::is_plain_name(entry.old_name) || !platform::is_plain_name(entry.new_name))
            continue;
        renamer::append_move_line(text, "r", entry);
        written.push_back(std::move(entry));
        ends.push_back(text.size());
    }
    // Cut anywhere, as a stop may leave it, with the reserved room after.
    const std::size_t cut = text.size() - std::min<std::size_t>(text.size(), in.byte());
    const std::string left = text.substr(0, cut) + std::string(in.byte() % 4, '\0');
    const renamer::journal_text read = renamer::parse_journal(left);
    check_rules(read, left.size());
    std::size_t whole = 0;
    while (whole < ends.size() && ends[whole] <= cut)
        ++whole;
    if (read.identified) {
        FUZZ_CHECK(read.whole());
        FUZZ_CHECK(read.identity == identity);
        FUZZ_CHECK(read.entries.size() == whole);
        for (std::size_t k = 0; k < whole; ++k)
            FUZZ_CHECK(read.entries[k] == written[k]);
    } else {
        FUZZ_CHECK(whole == 0 && read.renamed_nothing());
    }
    return 0;
}
