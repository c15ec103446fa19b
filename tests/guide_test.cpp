// The player's guide against the program, read from the page the build made
// of docs/guide/guide.md with cmark (guide/index.html), once the build has
// taken the guide's pictures (guide/pictures):
// - every picture the guide shows was taken: it shows them as
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

#include <filesystem>
#include <fstream>
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
    std::vector<std::string> windows;   // every level-two heading but the general sections
    std::vector<std::string> sections;  // the anchor of every level-two heading after the Contents
    std::vector<std::string> contents;  // where the Contents' entries link to
};

// The text of an element's content: tags left out, cmark's entities decoded.
std::string textOf(const std::string &html) {
    static const std::regex tag("<[^>]*>");
    std::string text = std::regex_replace(html, tag, "");
    const std::pair<const char *, const char *> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
    for (const auto &[entity, character] : entities)
        for (std::size_t at; (at = text.find(entity)) != std::string::npos;)
            text.replace(at, std::string(entity).size(), character);
    return text;
}

// What the page shows and names.
GuideText readGuidePage(const std::string &html) {
    static const std::regex heading("<h2 id=\"([^\"]*)\">([\\s\\S]*?)</h2>");
    static const std::regex contents("<h2 id=\"contents\">[\\s\\S]*?</ul>"), link("<a href=\"#([^\"]*)\">");
    static const std::regex image("<img src=\"([^\"]*)\"");
    static const std::regex picture(R"(pictures/([A-Za-z0-9._-]+)\.png)");
    GuideText guide;
    for (std::sregex_iterator it(html.begin(), html.end(), heading), end; it != end; ++it) {
        const std::string text = textOf((*it)[2]);
        if (!kGeneralSections.count(text)) guide.windows.push_back(text);
        if (text != "Contents") guide.sections.push_back((*it)[1]);
    }
    std::smatch list;
    if (std::regex_search(html, list, contents)) {
        const std::string entries = list[0];
        for (std::sregex_iterator it(entries.begin(), entries.end(), link), end; it != end; ++it)
            guide.contents.push_back((*it)[1]);
    }
    for (std::sregex_iterator it(html.begin(), html.end(), image), end; it != end; ++it) {
        const std::string target = textOf((*it)[1]);
        std::smatch m;
        if (std::regex_match(target, m, picture))
            guide.pictures.insert(m[1]);
        else
            guide.strangers.push_back(target);
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
    for (const auto &entry : std::filesystem::directory_iterator(TREVA_GUIDE_PICTURES))
        if (entry.path().extension() == ".png") names.insert(entry.path().stem().string());
    return names;
}

class Guide : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::is_regular_file(TREVA_GUIDE_PAGE)) << "build the guide first";
        ASSERT_TRUE(std::filesystem::is_directory(TREVA_GUIDE_PICTURES)) << "build the guide first";
        guide = readGuidePage(fileText(TREVA_GUIDE_PAGE));
        ASSERT_FALSE(guide.windows.empty()) << "no window sections in " << TREVA_GUIDE_PAGE;
        taken = picturesTaken();
        ASSERT_FALSE(taken.empty()) << "no pictures in " << TREVA_GUIDE_PICTURES;
    }
    GuideText guide;
    std::set<std::string> taken;
};

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

TEST_F(Guide, TheContentsLinkToEverySectionInTurn) { EXPECT_EQ(guide.contents, guide.sections); }

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
