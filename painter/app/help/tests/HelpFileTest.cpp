// The compiled help, read the way the HTML Help viewer finds its way in it:
// the file header, the directory of stored files, and the system file that
// names the language, the title, the start page and the contents.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes ReadFile(const std::string& path)
{
    Bytes bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        unsigned char buffer[65536];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
        std::fclose(f);
    }
    return bytes;
}

std::string ReadText(const std::string& path)
{
    const Bytes b = ReadFile(path);
    return {b.begin(), b.end()};
}

std::uint64_t Le(const Bytes& b, std::size_t at, int size)
{
    std::uint64_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = v << 8 | (at + i < b.size() ? b[at + i] : 0);
    return v;
}

struct Entry {
    std::uint64_t section = 0, offset = 0, length = 0;
};

// The help file's header and its directory of stored files.
struct Chm {
    bool valid = false;
    std::uint32_t language = 0;
    std::uint64_t contentStart = 0; // where section 0's files start
    std::map<std::string, Entry> files;
    Bytes bytes;

    explicit Chm(const std::string& path) : bytes(ReadFile(path))
    {
        if (bytes.size() < 0x60 || std::string(bytes.begin(), bytes.begin() + 4) != "ITSF") return;
        language = static_cast<std::uint32_t>(Le(bytes, 0x14, 4));
        const std::uint64_t directory = Le(bytes, 0x48, 8), directoryLength = Le(bytes, 0x50, 8);
        contentStart = Le(bytes, 4, 4) >= 3 ? Le(bytes, 0x58, 8) : directory + directoryLength;
        if (directory + 0x54 > bytes.size() || std::string(bytes.begin() + directory, bytes.begin() + directory + 4) != "ITSP") return;
        const std::uint64_t chunkSize = Le(bytes, directory + 0x10, 4), chunks = Le(bytes, directory + 0x2C, 4);
        for (std::uint64_t k = 0; k < chunks; ++k) {
            const std::uint64_t chunk = directory + 0x54 + k * chunkSize;
            if (chunk + chunkSize > bytes.size()) return;
            if (std::string(bytes.begin() + chunk, bytes.begin() + chunk + 4) != "PMGL") continue; // an index chunk
            const std::uint64_t end = chunk + chunkSize - Le(bytes, chunk + 4, 4);
            std::uint64_t at = chunk + 0x14;
            while (at < end) {
                const std::uint64_t nameLength = Number(at);
                if (at + nameLength > end) return;
                const std::string name(bytes.begin() + at, bytes.begin() + at + nameLength);
                at += nameLength;
                Entry e;
                e.section = Number(at);
                e.offset = Number(at);
                e.length = Number(at);
                files[name] = e;
            }
        }
        valid = true;
    }

    // The directory's numbers: seven bits a byte, most significant first,
    // the top bit set on every byte but the last.
    std::uint64_t Number(std::uint64_t& at) const
    {
        std::uint64_t v = 0;
        while (at < bytes.size()) {
            const unsigned char c = bytes[at++];
            v = v << 7 | (c & 0x7F);
            if (!(c & 0x80)) break;
        }
        return v;
    }

    // A file stored uncompressed (section 0).
    Bytes Plain(const std::string& name) const
    {
        const auto it = files.find(name);
        if (it == files.end() || it->second.section != 0) return {};
        const std::uint64_t start = contentStart + it->second.offset;
        if (start + it->second.length > bytes.size()) return {};
        return {bytes.begin() + start, bytes.begin() + start + it->second.length};
    }
};

// The system file: a version, then records of (code, length, data).
std::map<int, std::string> SystemRecords(const Bytes& system)
{
    std::map<int, std::string> records;
    for (std::size_t at = 4; at + 4 <= system.size();) {
        const int code = static_cast<int>(Le(system, at, 2));
        const std::size_t length = static_cast<std::size_t>(Le(system, at + 2, 2));
        if (at + 4 + length > system.size()) break;
        records[code] = std::string(system.begin() + at + 4, system.begin() + at + 4 + length);
        at += 4 + length;
    }
    return records;
}

// A text record, without its closing zero.
std::string RecordText(const std::map<int, std::string>& records, int code)
{
    const auto it = records.find(code);
    return it == records.end() ? std::string() : it->second.substr(0, it->second.find('\0'));
}

std::string Source(const std::string& name) { return ReadText(std::string(RV_HELP_SOURCE_DIR) + "/" + name); }

// Every page the contents and the index point to, "page.html#anchor" split in two.
std::set<std::pair<std::string, std::string>> Targets(const std::string& sitemap)
{
    std::set<std::pair<std::string, std::string>> targets;
    const std::regex local(R"re(name="Local" value="([^"#]+)(#([^"]+))?")re");
    for (auto it = std::sregex_iterator(sitemap.begin(), sitemap.end(), local); it != std::sregex_iterator(); ++it)
        targets.insert({(*it)[1].str(), (*it)[3].str()});
    return targets;
}

class HelpFile : public ::testing::Test {
protected:
    Chm chm{RV_HELP_CHM};
};

TEST_F(HelpFile, IsAChineseHelpFileThatOpensOnItsFirstPage)
{
    ASSERT_TRUE(chm.valid) << RV_HELP_CHM << " is missing or not a compiled help file";
    // Chinese (PRC): the viewer reads the contents and the index as GB2312.
    EXPECT_EQ(chm.language, 0x804u);
    const auto records = SystemRecords(chm.Plain("/#SYSTEM"));
    ASSERT_FALSE(records.empty()) << "no system file";
    EXPECT_EQ(records.count(4) ? Le(Bytes(records.at(4).begin(), records.at(4).end()), 0, 4) : 0, 0x804u);
    EXPECT_EQ(RecordText(records, 3), "Relievo \xB0\xEF\xD6\xFA"); // the title, "Relievo 帮助"
    EXPECT_EQ(RecordText(records, 2), "index.html");                 // the first page
    EXPECT_EQ(RecordText(records, 0), "toc.hhc");                    // the contents
    EXPECT_EQ(RecordText(records, 1), "index.hhk");                  // the index
}

// Every entry of the contents and of the index leads to a page that is in the
// help file, and to an anchor that the page has: no entry opens nothing.
TEST_F(HelpFile, EveryContentsAndIndexEntryLeadsToAStoredPage)
{
    ASSERT_TRUE(chm.valid);
    for (const char* sitemap : {"toc.hhc", "index.hhk"}) {
        ASSERT_TRUE(chm.files.count(std::string("/") + sitemap)) << sitemap << " not stored";
        const auto targets = Targets(Source(sitemap));
        EXPECT_GE(targets.size(), 8u) << sitemap;
        for (const auto& [page, anchor] : targets) {
            const auto it = chm.files.find("/" + page);
            ASSERT_NE(it, chm.files.end()) << sitemap << " points to " << page << ", which is not in the help";
            EXPECT_GT(it->second.length, 500u) << page << " is stored empty";
            if (!anchor.empty()) {
                EXPECT_NE(Source(page).find("<a name=\"" + anchor + "\">"), std::string::npos)
                    << sitemap << " points to " << page << "#" << anchor << ", an anchor the page lacks";
            }
        }
    }
}

// The links between the pages lead to stored pages and to anchors they have.
TEST_F(HelpFile, LinksBetweenPagesLeadSomewhere)
{
    ASSERT_TRUE(chm.valid);
    const std::regex link(R"re(href="([^"#]*)(#([^"]+))?")re");
    int links = 0;
    for (const auto& [name, entry] : chm.files) {
        if (name.size() < 6 || name.substr(name.size() - 5) != ".html") continue;
        const std::string page = name.substr(1), text = Source(page);
        for (auto it = std::sregex_iterator(text.begin(), text.end(), link); it != std::sregex_iterator(); ++it) {
            const std::string target = (*it)[1].str().empty() ? page : (*it)[1].str();
            if (target.find(".html") == std::string::npos) continue; // the style sheet
            ++links;
            std::string stored = "/";
            stored.append(target);
            EXPECT_TRUE(chm.files.count(stored)) << page << " links to " << target << ", which is not in the help";
            const std::string anchor = (*it)[3].str();
            if (!anchor.empty()) {
                EXPECT_NE(Source(target).find("<a name=\"" + anchor + "\">"), std::string::npos)
                    << page << " links to " << target << "#" << anchor << ", an anchor that page lacks";
            }
        }
    }
    EXPECT_GE(links, 20);
}

// What the program's tool tips and prompts send users to look up: the
// workflow by button numbers, each tool, the gradient settings, the 3D feel
// and the three folders.
TEST_F(HelpFile, ContentsCoverWhatTheProgramRefersTo)
{
    ASSERT_TRUE(chm.valid);
    const auto targets = Targets(Source("toc.hhc"));
    for (const auto& [page, anchor] : std::vector<std::pair<std::string, std::string>>{
             {"workflow.html", ""},     {"toolbar.html", ""},      {"tools.html", "pencil"}, {"tools.html", "brush"},
             {"tools.html", "shapes"},  {"tools.html", "fill"},    {"tools.html", "eraser"}, {"tools.html", "lasso"},
             {"tools.html", "gcircle"}, {"tools.html", "grect"},   {"tools.html", "picker"}, {"panel.html", "gradient"},
             {"depth.html", "feel"},    {"folders.html", ""}}) {
        EXPECT_TRUE(targets.count({page, anchor})) << "no contents entry for " << page << "#" << anchor;
    }
    // The folders page names the three folders beside the program.
    const std::string folders = Source("folders.html");
    for (const char* folder : {"<b>back</b>", "<b>sample</b>", "<b>result</b>"})
        EXPECT_NE(folders.find(folder), std::string::npos) << folder;
    // Every page the project file lists is stored.
    const std::string project = Source("Relievo.hhp");
    const std::regex page(R"(\n([a-z]+\.(html|css))\r?(?=\n|$))");
    int pages = 0;
    for (auto it = std::sregex_iterator(project.begin(), project.end(), page); it != std::sregex_iterator(); ++it, ++pages) {
        std::string stored = "/";
        stored.append((*it)[1].str());
        EXPECT_TRUE(chm.files.count(stored)) << stored << " not stored";
    }
    EXPECT_GE(pages, 8);
}

} // namespace
