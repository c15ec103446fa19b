// The player's guide (docs/guide/guide.md) against the program, once the
// build has taken the guide's pictures (guide/pictures in the build folder):
// - every picture the guide shows was taken: the guide shows its pictures
//   with Markdown's image syntax, inline or by reference, as
//   `pictures/NAME.png`, and no other image;
// - every picture taken is shown by the guide, but for those on
//   kNeedNotShow;
// - every window the guide names in a heading is a window of the program.
//
// The guide's sections: each "## " heading (level two) is a window's or a
// box's title, written exactly as its template has it (resources/dialogs.cpp),
//     ## Activation
//     ## Special
// or one of the general sections of kGeneralSections. Other levels are not
// checked.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "resources/dialogs.h"

namespace treva {
namespace {

// Pictures the program takes that the guide need not show: the boxes that
// greet the player at every start and are gone with one click.
const std::set<std::string> kNeedNotShow = {"about", "beta-notice"};

// The sections that are about no single window.
const std::set<std::string> kGeneralSections = {"Contents", "A first game", "The main window",
                                                "Files",    "In a browser", "treva-cli"};

struct GuideText {
    std::set<std::string> pictures;     // NAME of every pictures/NAME.png shown
    std::vector<std::string> strangers; // images shown from anywhere else
    std::vector<std::string> windows;   // every "## " heading but the general sections
};

std::string withoutMarkup(std::string text) {
    std::string out;
    for (char c : text)
        if (c != '*' && c != '_' && c != '`') out += c;
    return out;
}

void noteHeading(GuideText &guide, int level, const std::string &heading) {
    const std::string text = withoutMarkup(heading);
    if (level == 2 && !kGeneralSections.count(text)) guide.windows.push_back(text);
}

void noteImage(GuideText &guide, const std::string &target) {
    static const std::regex picture(R"(pictures/([A-Za-z0-9._-]+)\.png)");
    std::smatch m;
    if (std::regex_match(target, m, picture))
        guide.pictures.insert(m[1]);
    else
        guide.strangers.push_back(target);
}

// What the Markdown shows and names, code blocks left out.
GuideText readGuide(const std::string &markdown) {
    static const std::regex fence(R"( {0,3}(```|~~~).*)");
    static const std::regex atx(R"( {0,3}(#{1,6})[ \t]+(.*?)(?:[ \t]+#+)?[ \t]*)");
    static const std::regex setextUnderline(R"( {0,3}(=+|-+)[ \t]*)");
    static const std::regex reference(R"( {0,3}\[([^\]]+)\]:[ \t]*<?([^ \t>]+)>?.*)");
    static const std::regex inlineImage(R"(!\[[^\]]*\]\([ \t\n]*<?([^ \t\n)>]+)>?)");
    static const std::regex referenceImage(R"(!\[([^\]]*)\]\[([^\]]*)\])");

    GuideText guide;
    std::vector<std::string> lines;
    std::istringstream in(markdown);
    bool inCode = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (std::regex_match(line, fence)) {
            inCode = !inCode;
            continue;
        }
        if (!inCode) lines.push_back(line);
    }

    std::map<std::string, std::string> references; // label, lower case -> target
    std::string text;
    std::smatch m;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string &line = lines[i];
        text += line + '\n';
        if (std::regex_match(line, m, atx)) {
            noteHeading(guide, int(m[1].length()), m[2]);
        } else if (std::regex_match(line, m, reference)) {
            std::string label = m[1];
            for (char &c : label) c = char(std::tolower(static_cast<unsigned char>(c)));
            references[label] = m[2];
        } else if (i + 1 < lines.size() && line.find_first_not_of(" \t") != std::string::npos &&
                   std::regex_match(lines[i + 1], setextUnderline)) {
            noteHeading(guide, lines[i + 1].find('=') != std::string::npos ? 1 : 2,
                        line.substr(line.find_first_not_of(" \t")));
        }
    }
    for (std::sregex_iterator it(text.begin(), text.end(), inlineImage), end; it != end; ++it)
        noteImage(guide, (*it)[1]);
    for (std::sregex_iterator it(text.begin(), text.end(), referenceImage), end; it != end; ++it) {
        // ![alt][] and ![alt][ref]; a reference the guide lacks shows nothing.
        std::string label = (*it)[2].length() ? (*it)[2].str() : (*it)[1].str();
        for (char &c : label) c = char(std::tolower(static_cast<unsigned char>(c)));
        if (const auto found = references.find(label); found != references.end()) noteImage(guide, found->second);
    }
    return guide;
}

std::string fileText(const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::set<std::string> picturesTaken() {
    std::set<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(TREVA_QTDE_PICTURES))
        if (entry.path().extension() == ".png") names.insert(entry.path().stem().string());
    return names;
}

class Guide : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::is_regular_file(TREVA_QTDE_SOURCE)) << TREVA_QTDE_SOURCE;
        ASSERT_TRUE(std::filesystem::is_directory(TREVA_QTDE_PICTURES)) << "build the guide first";
        guide = readGuide(fileText(TREVA_QTDE_SOURCE));
        taken = picturesTaken();
        ASSERT_FALSE(taken.empty()) << "no pictures in " << TREVA_QTDE_PICTURES;
    }
    GuideText guide;
    std::set<std::string> taken;
};

TEST(GuideReading, FindsPicturesAndWindowHeadingsOutsideCode) {
    const GuideText guide = readGuide("# TREVA Guide\n"
                                      "## Activation\n"
                                      "![The window after a roll](pictures/activation.png \"Activation\")\n"
                                      "Text ![inline](<pictures/actions-roll.png>) and ![by reference][dice]\n"
                                      "and ![Die Stats][] with ![a\nsecond line](pictures/die-stats.png).\n"
                                      "\n"
                                      "## *Special* ##\n"
                                      "### The Actions window's die buttons\n"
                                      "Advance\r\n"
                                      "-------\r\n"
                                      "The guide\n"
                                      "=========\n"
                                      "## Files\n"
                                      "```\n"
                                      "## Nowhere\n"
                                      "![in code](pictures/nowhere.png)\n"
                                      "```\n"
                                      "![elsewhere](images/frame.png)\n"
                                      "![unknown reference][none]\n"
                                      "[dice]: pictures/dice-chart.png \"Chart\"\n"
                                      "[Die Stats]: <pictures/roll-history.png>\n");
    EXPECT_EQ(guide.pictures,
              (std::set<std::string>{"activation", "actions-roll", "dice-chart", "roll-history", "die-stats"}));
    EXPECT_EQ(guide.strangers, std::vector<std::string>{"images/frame.png"});
    EXPECT_EQ(guide.windows, (std::vector<std::string>{"Activation", "Special", "Advance"}));
}

TEST_F(Guide, ShowsOnlyPicturesTheProgramTakes) {
    for (const std::string &name : guide.pictures)
        EXPECT_TRUE(taken.count(name)) << "the guide shows pictures/" << name
                                       << ".png, which the program does not take";
    for (const std::string &target : guide.strangers)
        ADD_FAILURE() << "the guide shows " << target << ": its pictures are pictures/NAME.png";
}

TEST_F(Guide, ShowsEveryPictureTheProgramTakes) {
    for (const std::string &name : kNeedNotShow) EXPECT_TRUE(taken.count(name)) << name << " is no longer taken";
    for (const std::string &name : taken) {
        EXPECT_TRUE(guide.pictures.count(name) || kNeedNotShow.count(name))
            << "the guide does not show pictures/" << name << ".png";
    }
}

TEST_F(Guide, NamesOnlyWindowsTheProgramHas) {
    std::set<std::string> titles;
    for (const DialogTemplate &dialog : allDialogTemplates()) titles.insert(dialog.title);
    for (const std::string &name : guide.windows) {
        EXPECT_TRUE(titles.count(name)) << "the guide has a section on \"" << name
                                        << "\", which is no window's title (see resources/dialogs.cpp)";
    }
}

} // namespace
} // namespace treva
