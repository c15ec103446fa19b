// treva-cli with any arguments: options, commands and drive tokens read by
// the window procedures. Every run must end with status 0 or 2, an error as
// one line, and output a script can parse; nothing may crash, hang or leak.
//
// Input: arguments separated by newline or NUL. A first byte 0x01..0x08
// prefixes "drive" and a template (1..6), "drive" alone (7), or nothing (8);
// any other first byte is part of the first argument. "--seed N" always
// comes first so that a run repeats; the input may add a seed of its own.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli.h"

namespace {

[[noreturn]] void fail(const char *what, const std::vector<std::string> &args, const std::string &out,
                       const std::string &err) {
    std::fprintf(stderr, "cli_drive_fuzz: %s\nargs:", what);
    for (const std::string &a : args) std::fprintf(stderr, " [%s]", a.c_str());
    std::fprintf(stderr, "\nstdout (%zu bytes): %.400s\nstderr: %.400s\n", out.size(), out.c_str(), err.c_str());
    std::abort();
}

// A minimal JSON checker: one value, strings of valid UTF-8 without raw
// control characters, nothing after it but the closing newline.
class Json {
public:
    explicit Json(const std::string &t) : t_(t) {}
    bool document() {
        if (!value()) return false;
        return pos_ + 1 == t_.size() && t_[pos_] == '\n';
    }

private:
    const std::string &t_;
    std::size_t pos_ = 0;
    int depth_ = 0;

    void space() {
        while (pos_ < t_.size() && (t_[pos_] == ' ' || t_[pos_] == '\t')) ++pos_;
    }
    bool literal(const char *word) {
        const std::string w(word);
        if (t_.compare(pos_, w.size(), w) != 0) return false;
        pos_ += w.size();
        return true;
    }
    bool value() {
        space();
        if (pos_ >= t_.size() || ++depth_ > 64) return false;
        bool ok;
        switch (t_[pos_]) {
        case '{': ok = container('}', true); break;
        case '[': ok = container(']', false); break;
        case '"': ok = string(); break;
        case 't': ok = literal("true"); break;
        case 'f': ok = literal("false"); break;
        case 'n': ok = literal("null"); break;
        default: ok = number();
        }
        --depth_;
        space();
        return ok;
    }
    bool container(char close, bool object) {
        ++pos_;
        space();
        if (pos_ < t_.size() && t_[pos_] == close) return ++pos_, true;
        for (;;) {
            if (object) {
                space();
                if (pos_ >= t_.size() || t_[pos_] != '"' || !string()) return false;
                space();
                if (pos_ >= t_.size() || t_[pos_++] != ':') return false;
            }
            if (!value()) return false;
            if (pos_ >= t_.size()) return false;
            const char c = t_[pos_++];
            if (c == close) return true;
            if (c != ',') return false;
        }
    }
    bool number() {
        const std::size_t start = pos_;
        if (pos_ < t_.size() && t_[pos_] == '-') ++pos_;
        while (pos_ < t_.size() && ((t_[pos_] >= '0' && t_[pos_] <= '9') || t_[pos_] == '.')) ++pos_;
        return pos_ > start && t_[pos_ - 1] != '-';
    }
    bool string() {
        ++pos_;
        while (pos_ < t_.size()) {
            const unsigned char c = static_cast<unsigned char>(t_[pos_]);
            if (c == '"') return ++pos_, true;
            if (c < 0x20) return false;
            if (c == '\\') {
                if (++pos_ >= t_.size()) return false;
                const char e = t_[pos_++];
                if (e == 'u') {
                    for (int k = 0; k < 4; ++k, ++pos_)
                        if (pos_ >= t_.size() || !std::isxdigit(static_cast<unsigned char>(t_[pos_]))) return false;
                } else if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) {
                    return false;
                }
                continue;
            }
            if (c < 0x80) {
                ++pos_;
                continue;
            }
            // UTF-8: a lead byte, then as many continuation bytes as it announces.
            int more = c >= 0xF0 && c <= 0xF4 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c <= 0xDF ? 1 : -1;
            if (more < 0 || c > 0xF4) return false;
            ++pos_;
            for (; more > 0; --more, ++pos_)
                if (pos_ >= t_.size() || (static_cast<unsigned char>(t_[pos_]) & 0xC0) != 0x80) return false;
        }
        return false;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    if (size > 4096) return 0; // long inputs only slow the search down
    std::string input(reinterpret_cast<const char *>(data), size);

    static const char *const templates[] = {"101", "102", "103", "114", "115", "128"};
    std::vector<std::string> args;
    uint32_t seed = 2166136261u;
    for (unsigned char c : input) seed = (seed ^ c) * 16777619u;
    args.push_back("--seed");
    args.push_back(std::to_string(seed));
    std::size_t start = 0;
    if (!input.empty() && input[0] >= 1 && input[0] <= 8) {
        const int mode = input[0];
        if (mode <= 7) args.push_back("drive");
        if (mode <= 6) args.push_back(templates[mode - 1]);
        start = 1;
    }
    for (std::size_t i = start; i <= input.size();) {
        std::size_t end = input.find_first_of(std::string("\n\0", 2), i);
        if (end == std::string::npos) end = input.size();
        if (end > i || end < input.size()) args.push_back(input.substr(i, end - i));
        i = end + 1;
    }

    // These two read or write files; they are the file tests' business.
    for (const std::string &a : args)
        if (a == "new" || a.rfind("--scenario", 0) == 0) return 0;

    std::ostringstream out, err;
    const int status = treva::runCli(args, out, err);
    const std::string o = out.str(), e = err.str();
    if (status == 0) {
        if (!e.empty()) fail("status 0 with an error", args, o, e);
        std::size_t cmd = 0;
        while (cmd + 1 < args.size() && args[cmd] == "--seed") cmd += 2;
        if (cmd < args.size() && (args[cmd] == "drive" || args[cmd] == "show") && !Json(o).document())
            fail("output is not one JSON value", args, o, e);
    } else if (status == 2) {
        if (e.rfind("treva-cli: ", 0) != 0 || e.find('\n') != e.size() - 1)
            fail("error is not one line starting with \"treva-cli: \"", args, o, e);
        if (!o.empty()) fail("output on an error", args, o, e);
    } else {
        fail("exit status neither 0 nor 2", args, o, e);
    }
    return 0;
}
