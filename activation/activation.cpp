#include "activation/activation.h"

#include <algorithm>
#include <cstdio>

#include "activation/units.h"

namespace treva {
namespace {

const char kNoUnits[] = "(No units to activate)";

// Throws the A1 DR and generates its units into unitsText; returns the A1 field.
std::string generateA1(ProgramState &program) {
    const int a1 = rollDice(program, 2, 6, "A1 DR");
    const int64_t modifier = generateUnits(program, a1, program.unitsText, kUnitsTextCapacity);
    char text[64];
    std::snprintf(text, sizeof text, "A1 DR = %i/%lld", a1, (long long)(a1 + modifier));
    return text;
}

} // namespace

int activationModifierTotal(const ActivationModifiers &m, int32_t attitude) {
    int total = m.levelModifier - m.vpoAdjacent - m.stoneBuilding - m.nearbyUnits;
    if (attitude == 0) total += m.terrainModifier; // terrain does not count under Advance
    return total;
}

ActivationOutcome rollActivation(ProgramState &program) {
    ActivationOutcome out;
    const int dr = rollDice(program, 1, 6, "Activation dr");
    program.lastActivationDr = dr;
    out.dr = std::to_string(dr);
    const int total = activationModifierTotal(program.modifiers, program.scenario.attitude);
    out.modifier = std::to_string(total);
    out.finalDr = std::to_string(dr + total);

    if (dr == 1) {
        out.status = "Activation Automatic";
        out.modifier = "";
        out.finalDr = "";
        out.a1 = generateA1(program);
        out.units = program.unitsText;
    } else if (dr == 6) {
        out.status = "S? Automatically Removed";
        out.modifier = "";
        out.finalDr = "";
        out.a1 = "";
        program.unitsText = kNoUnits;
        out.units = program.unitsText;
    } else {
        // The units are drawn before the verdict, so a removal still throws
        // the A1 DR and a later re-evaluation can show these units.
        const std::string a1 = generateA1(program);
        if (dr + total <= program.scenario.acNumber) {
            out.status = "S? Activated";
            out.a1 = a1;
            out.units = program.unitsText;
        } else {
            out.status = "S? Removed";
            out.a1 = "";
            out.units = kNoUnits;
        }
    }
    return out;
}

ActivationOutcome reevaluateActivation(ProgramState &program) {
    ActivationOutcome out;
    const int last = program.lastActivationDr;
    const int total = activationModifierTotal(program.modifiers, program.scenario.attitude);
    out.modifier = std::to_string(total);
    out.finalDr = std::to_string(last + total);
    if (last == 0) return out;
    if (last == 1 || last == 6) {
        // An automatic result does not depend on the modifiers.
        out.status = last == 1 ? "Still automatic activation" : "Still automatic removal";
        return out;
    }
    const int verdict = std::clamp(last + total, 1, 6);
    if (verdict <= program.scenario.acNumber) {
        out.status = "S? Activated";
        out.units = program.unitsText;
    } else {
        out.status = "S? Removed";
        out.a1 = "";
        out.units = "(not applicable)";
    }
    return out;
}

ActivationOutcome manualActivation(ProgramState &program) {
    ActivationOutcome out;
    out.a1 = generateA1(program);
    out.units = program.unitsText;
    out.status = "Manual Activation";
    return out;
}

const char *activationConditionsText(int32_t nationality) {
    static const char russian[] = "* FRIENDLY Infantry in LOS within 8 and IFT DRM <= -2\r"
                                  "* FRIENDLY Infantry in LOS within 6 and IFT DRM <= -1\r"
                                  "* FRIENDLY Infantry in LOS within 4 and IFT DRM <= 0\r"
                                  "* FRIENDLY Infantry/Unarmored veh in LOS within 3 and IFT DRM <= +1\r"
                                  "* FRIENDLY Infantry/Unarmored veh/CE AFV in LOS within 2 and IFT DRM <= +2\r"
                                  "* ADJACENT";
    static const char german[] = // also the American text
        "* FRIENDLY Infantry in LOS within 12 and IFT DRM <= -2\r"
        "* FRIENDLY Infantry in LOS within 8 and IFT DRM <= -1\r"
        "* FRIENDLY Infantry in LOS within 6 and IFT DRM <= 0\r"
        "* FRIENDLY Infantry/Unarmored veh in LOS within 4 and IFT DRM <= +1\r"
        "* FRIENDLY Infantry/Unarmored veh/CE AFV in LOS within 2 and IFT DRM <= +2\r"
        "* ADJACENT";
    static const char british[] = "* FRIENDLY Infantry in LOS within 10 and IFT DRM <= -2\r"
                                  "* FRIENDLY Infantry in LOS within 8 and IFT DRM <= -1\r"
                                  "* FRIENDLY Infantry in LOS within 6 and IFT DRM <= 0\r"
                                  "* FRIENDLY Infantry/Unarmored veh in LOS within 4 and IFT DRM <= +1\r"
                                  "* FRIENDLY Infantry/Unarmored veh/CE AFV in LOS within 2 and IFT DRM <= +2\r"
                                  "* ADJACENT";
    static const char partisan[] = "* FRIENDLY Infantry in LOS within 6 and IFT DRM <= -2\r"
                                   "* FRIENDLY Infantry in LOS within 4 and IFT DRM <= -1\r"
                                   "* FRIENDLY Infantry in LOS within 3 and IFT DRM <= 0\r"
                                   "* FRIENDLY Infantry/Unarmored veh in LOS within 4 and IFT DRM <= +1\r"
                                   "* ADJACENT";
    switch (nationality) {
    case kGerman:
    case kAmerican: return german;
    case kPartisanUssr:
    case kPartisanFrance: return partisan;
    case kBritishEto:
    case kBritishItaly: return british;
    default: return russian;
    }
}

} // namespace treva
