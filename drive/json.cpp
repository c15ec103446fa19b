#include "drive/json.h"

#include <cstdio>

#include "state/text.h"

namespace treva {

std::string jsonString(std::string_view cp1252) {
    const std::string utf8 = cp1252ToUtf8(cp1252);
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += char(c);
            }
        }
    }
    return out + "\"";
}

std::string scenarioJson(const ScenarioState &s) {
    char text[512];
    std::snprintf(text, sizeof text,
                  "{\"formatTag\": %d, \"mapOrientation\": %d, \"yearIndex\": %d, \"month\": %d, \"attitude\": %d, "
                  "\"acNumber\": %d, \"nationality\": %d, \"msr\": %d, \"manualDieRoll\": %d, "
                  "\"actionCategory\": %d, \"a1Modifier\": %d, \"a5Modifier\": %d, \"fortificationEvenDr\": %d, "
                  "\"changed\": %d}",
                  s.formatTag, s.mapOrientation, s.yearIndex, s.month, s.attitude, s.acNumber, s.nationality, s.msr,
                  s.manualDieRoll, s.actionCategory, s.a1Modifier, s.a5Modifier, s.fortificationEvenDr, s.changed);
    return text;
}

namespace {
std::string numbers(const int32_t *values, int count) {
    std::string out = "[";
    for (int i = 0; i < count; ++i) out += (i ? ", " : "") + std::to_string(values[i]);
    return out + "]";
}
} // namespace

std::string statsJson(const DieRollStats &st) {
    return "{\"twoDiceCounts\": " + numbers(st.twoDiceCounts, 11) +
           ", \"oneDieCounts\": " + numbers(st.oneDieCounts, 6) +
           ", \"twoDiceRolls\": " + std::to_string(st.twoDiceRolls) +
           ", \"oneDieRolls\": " + std::to_string(st.oneDieRolls) +
           ", \"twoDiceSum\": " + std::to_string(st.twoDiceSum) + ", \"oneDieSum\": " + std::to_string(st.oneDieSum) +
           "}";
}

std::string windowJsonFields(const DriveTarget &target, WindowId window) {
    const int templateId = target.templateOf(window);
    std::string out = "{\"window\": " + std::to_string(templateId) +
                      ", \"open\": " + (target.isOpen(window) ? "true" : "false") + ", \"controls\": {";
    bool first = true;
    for (const ControlTemplate &t : findDialogTemplate(templateId)->controls) {
        if (t.id == kNoId || (t.style & kAdded)) continue;
        const ControlView c = target.read(window, t);
        out += first ? "" : ", ";
        first = false;
        out += "\"" + std::to_string(t.id) + "\": {\"text\": ";
        out += jsonString(t.kind == ControlKind::Picture ? "" : c.text);
        out += std::string(", \"enabled\": ") + (c.enabled ? "true" : "false");
        if (t.kind == ControlKind::CheckBox || t.kind == ControlKind::RadioButton)
            out += std::string(", \"checked\": ") + (c.checked ? "true" : "false");
        if (t.kind == ControlKind::DropDownList) {
            out += ", \"items\": [";
            for (std::size_t i = 0; i < c.items.size(); ++i) out += (i ? ", " : "") + jsonString(c.items[i]);
            out += "], \"selection\": " + std::to_string(c.selection);
        }
        if (t.kind == ControlKind::Picture) out += ", \"image\": " + std::to_string(c.image);
        out += "}";
    }
    return out + "}";
}

} // namespace treva
