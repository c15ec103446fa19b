#include "activation/unit_tables.h"

#include "state/scenario.h"

namespace treva {
namespace {

#include "activation/unit_tables_data.inc"

int yearOf(int32_t yearIndex) { return 1935 + yearIndex; }

// A date as months since year 0, for period comparisons.
int monthsOf(int year, int month) { return year * 12 + (month - 1); }

} // namespace

const FortificationTable fortificationTable = {
    {"x+5+7", "x+3+5", "Entrenchment", "Entrenchment", "Entrenchment", "(No Forts)", "(No Forts)", "(No Forts)"}};

UnitTableSet selectUnitTables(int32_t nationality, int32_t yearIndex, int32_t month) {
    const int year = yearOf(yearIndex);
    const int date = monthsOf(year, month);
    // Years outside 1939..1945 can only come from a scenario file; each table
    // family says which of its tables they use.
    const bool known = year >= 1939 && year <= 1945;

    switch (nationality) {
    case kRussian: {
        UnitTableSet set{&russianSquads, &russianOffsets, &russianLeaders, nullptr, nullptr, nullptr, nullptr};
        if (known && year <= 1941)
            set.supportWeapons = &russianSw39to41;
        else if (year == 1942)
            set.supportWeapons = &russianSw42;
        else if (year == 1943)
            set.supportWeapons = &russianSw43;
        else if (year == 1944)
            set.supportWeapons = &russianSw44;
        else
            set.supportWeapons = &russianSw45;

        if (known && year <= 1940)
            set.afvs = &russianAfv39to40;
        else if (year == 1941)
            set.afvs = &russianAfv41;
        else if (year == 1942)
            set.afvs = &russianAfv42;
        else if (year == 1943)
            set.afvs = &russianAfv43;
        else
            set.afvs = &russianAfv44to45;

        if (known && year <= 1941)
            set.outsideGuns = &russianOut39to41, set.insideGuns = &russianIn39to41;
        else if (year == 1942)
            set.outsideGuns = &russianOut42, set.insideGuns = &russianIn42;
        else if (year == 1943)
            set.outsideGuns = &russianOut43, set.insideGuns = &russianIn43;
        else
            set.outsideGuns = &russianOut44to45, set.insideGuns = &russianIn44to45;
        return set;
    }
    case kGerman: {
        UnitTableSet set{&germanSquads, &germanOffsets, &germanLeaders, nullptr, nullptr, nullptr, nullptr};
        if (year == 1939 || year == 1940 || year == 1942)
            set.supportWeapons = &germanSw39_40_42;
        else if (year == 1941 || year == 1943)
            set.supportWeapons = &germanSw41_43;
        else
            set.supportWeapons = &germanSw44to45;

        if (year == 1939)
            set.afvs = &germanAfv39;
        else if (year == 1940)
            set.afvs = &germanAfv40;
        else if (year == 1941)
            set.afvs = &germanAfv41;
        else if (year == 1942)
            set.afvs = &germanAfv42;
        else if (year == 1943)
            set.afvs = month <= 6 ? &germanAfvJanJun43 : &germanAfvJulDec43;
        else if (year == 1944 && month <= 6)
            set.afvs = &germanAfvJanJun44;
        else
            set.afvs = &germanAfvJul44to45;

        if (known && year <= 1941)
            set.outsideGuns = &germanOut39to41, set.insideGuns = &germanIn39to41;
        else if (year == 1942 || year == 1943)
            set.outsideGuns = &germanOut42to43, set.insideGuns = &germanIn42to43;
        else
            set.outsideGuns = &germanOut44to45, set.insideGuns = &germanIn44to45;
        return set;
    }
    case kAmerican: {
        UnitTableSet set{&americanSquads, &americanOffsets, &americanLeaders, nullptr, nullptr, nullptr, nullptr};
        if (known && year <= 1942)
            set.supportWeapons = &americanSw39to42;
        else if (year == 1943)
            set.supportWeapons = &americanSw43;
        else
            set.supportWeapons = &americanSw44to45;

        if (known && date <= monthsOf(1943, 5))
            set.afvs = &americanAfv39toMay43;
        else if (year == 1944)
            set.afvs = month <= 5 ? &americanAfvJanMay44 : &americanAfvJunDec44;
        else
            set.afvs = &americanAfvJunDec43and45; // June 1943 on, 1945 and other years

        if (known && date <= monthsOf(1943, 6))
            set.outsideGuns = &americanOutToJun43, set.insideGuns = &americanInToJun43;
        else if (known && date <= monthsOf(1944, 5))
            set.outsideGuns = &americanOutJul43toMay44, set.insideGuns = &americanInJul43toMay44;
        else
            set.outsideGuns = &americanOutFromJun44, set.insideGuns = &americanInFromJun44;
        return set;
    }
    case kPartisanUssr:
    case kPartisanFrance: {
        const bool ussr = nationality == kPartisanUssr;
        return {&partisanSquads,
                &partisanOffsets,
                &partisanLeaders,
                &partisanSw,
                &americanAfv39toMay43,
                ussr ? &partisanOutUssr : &partisanOutFrance,
                ussr ? &partisanInUssr : &partisanInFrance};
    }
    case kBritishEto:
    case kBritishItaly: {
        UnitTableSet set{&britishSquads,
                         &britishOffsets,
                         &britishLeaders,
                         nullptr,
                         nationality == kBritishEto ? &britishAfvEto : &britishAfvItaly,
                         nullptr,
                         &britishIn};
        set.supportWeapons = known && date >= monthsOf(1944, 6) ? &britishSwFromJun44 : &britishSwToMay44;
        if (year == 1943 && month >= 7)
            set.outsideGuns = &britishOutJulDec43;
        else if (year == 1944 || year == 1945)
            set.outsideGuns = &britishOut44to45;
        else
            set.outsideGuns = &genericGun;
        return set;
    }
    default: return {&genericSquads, &germanOffsets, &germanLeaders, &genericSw, &genericAfv, &genericGun, &genericGun};
    }
}

int leaderDateShift(int32_t nationality, int32_t yearIndex, int32_t month) {
    const int year = yearOf(yearIndex);
    switch (nationality) {
    case kRussian:
        if ((year == 1944 && month >= 6) || year == 1945) return -1;
        if (year >= 1939 && year <= 1941) return +1;
        return 0;
    case kGerman:
        if (year == 1941 || year == 1942 || (year == 1943 && month <= 8)) return -1;
        if (year == 1945) return +1;
        return 0;
    case kAmerican:
        if (year == 1945) return -1;
        if (year == 1942 || year == 1943) return +1;
        return 0;
    default: return 0;
    }
}

} // namespace treva
