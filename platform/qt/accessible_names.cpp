#include "platform/qt/accessible_names.h"

#include "platform/qt/cp1252.h"

namespace treva {
namespace {

struct FieldName {
    int dialog;
    int control;
    const char *name;
};

// Fields that show results or a picture carry no caption: they are named by
// what they show.
const FieldName kFieldNames[] = {
    {kActivationDialog, 1042, "Activation status"},
    {kActivationDialog, 1048, "Units"},
    {kActivationDialog, 1038, "Activation dr"},
    {kActivationDialog, 1040, "Modifier total"},
    {kActivationDialog, 1041, "Final DR"},
    {kActivationDialog, 1085, "AC#"},
    {kActivationDialog, 1044, "Scenario summary"},
    {kActivationDialog, 1046, "Activation conditions"},
    {kActivationDialog, 1047, "A1 DR"},
    {kActivationDialog, 1015, "Level difference"},
    {kActivationDialog, 1016, "Terrain"},

    {kActionsDialog, 1050, "Results"},
    {kActionsDialog, 1051, "Scenario summary"},
    {kActionsDialog, 1052, "Dice"},
    {kActionsDialog, 1053, "Roll"},
    {kActionsDialog, 1054, "Panic"},
    {kActionsDialog, 1055, "Direction"},
    {kActionsDialog, 1056, "Table title"},
    {kActionsDialog, 1090, "Direction picture"},
    {kActionsDialog, 1079, "Veh. Move. marker"},
    {kActionsDialog, 1080, "Inf. Move. marker"},
    {kActionsDialog, 1081, "IFT Attack marker"},
    {kActionsDialog, 1082, "LATW marker"},
    {kActionsDialog, 1083, "Ord. vs Veh. marker"},
    {kActionsDialog, 1084, "Ord. vs Inf marker"},

    {kAdvanceDialog, 1087, "Roll"},
    {kAdvanceDialog, 1086, "Advance text"},
    {kAdvanceDialog, 1088, "Direction picture"},

    {kRandomTablesDialog, 1091, "dr"},
    {kRandomTablesDialog, 1092, "Result"},
    {kRandomTablesDialog, 1093, "Table"},

    {kDieStatsDialog, 1057, "DR 2 count"},
    {kDieStatsDialog, 1058, "DR 3 count"},
    {kDieStatsDialog, 1059, "DR 4 count"},
    {kDieStatsDialog, 1060, "DR 5 count"},
    {kDieStatsDialog, 1061, "DR 6 count"},
    {kDieStatsDialog, 1062, "DR 7 count"},
    {kDieStatsDialog, 1063, "DR 8 count"},
    {kDieStatsDialog, 1064, "DR 9 count"},
    {kDieStatsDialog, 1065, "DR 10 count"},
    {kDieStatsDialog, 1066, "DR 11 count"},
    {kDieStatsDialog, 1067, "DR 12 count"},
    {kDieStatsDialog, 1068, "dr 1 count"},
    {kDieStatsDialog, 1069, "dr 2 count"},
    {kDieStatsDialog, 1070, "dr 3 count"},
    {kDieStatsDialog, 1071, "dr 4 count"},
    {kDieStatsDialog, 1072, "dr 5 count"},
    {kDieStatsDialog, 1073, "dr 6 count"},
    {kDieStatsDialog, 1074, "Total DR #"},
    {kDieStatsDialog, 1075, "Total dr #"},
    {kDieStatsDialog, 1076, "Average DR"},
    {kDieStatsDialog, 1077, "Average dr"},

    {kSetupDialog, 1036, "Year"},
    {kSetupDialog, 1008, "Nationality"},
    {kSetupDialog, 1037, "Month"},
    {kSetupDialog, 1024, "MSR"},
    {kSetupDialog, 1027, "Flat-topped hexes"},
    {kSetupDialog, 1028, "Pointed-topped hexes"},

    {kSpecialDialog, 1094, "A1 Modifier"},
    {kSpecialDialog, 1095, "A5 Modifier"},
};

// Pictures nobody addresses are named by the bitmap they show.
struct PictureName {
    int bitmap;
    const char *name;
};

const PictureName kPictureNames[] = {
    {109, "Pointed-topped hexes picture"},
    {110, "Flat-topped hexes picture"},
    {117, "Soldier looking through binoculars"},
    {127, "Beta version stamp"},
};

QString kindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::Picture: return QStringLiteral("Picture");
    case ControlKind::DropDownList: return QStringLiteral("List");
    case ControlKind::EditBox: return QStringLiteral("Edit box");
    default: return QStringLiteral("Field");
    }
}

} // namespace

QString accessibleName(const DialogTemplate &dialog, const ControlTemplate &control) {
    if (control.id != kNoId)
        for (const FieldName &f : kFieldNames)
            if (f.dialog == dialog.id && f.control == control.id) return QString::fromUtf8(f.name);
    if (control.caption && *control.caption) {
        QString caption = fromCp1252(control.caption);
        caption.replace(QChar(u'\r'), QChar(u' '));
        caption.remove(QChar(u'&'));
        return caption.simplified();
    }
    if (control.kind == ControlKind::Picture)
        for (const PictureName &p : kPictureNames)
            if (p.bitmap == control.bitmap) return QString::fromUtf8(p.name);
    return kindName(control.kind) + QStringLiteral(" %1").arg(control.id);
}

} // namespace treva
