// Each drop-down list's one value definition against the real skins: every list of the form that
// holds a device parameter has one with the form's items, and every item and every value the
// device reports come back through it, on both models.
#include "domain/list_values.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "catalogue/param_table.h"
#include "domain/device_params.h"
#include "form/pages.h"
#include "texts/language.h"
#include "ui/skin_window.h"

namespace {

// Where the definition and the real skins differ on purpose, and why.
struct Known {
  const char* control;
  bool fiveDioModel;
  const char* value;  // nullptr: the item count
  const char* why;
};

const Known kKnown[] = {
    // The device's fourth line is an analogue line: the skins offer "unused" and "analogue input"
    // only, while a read shows every work mode by the full list (the list clamps the index).
    {"DIO3 workmode", true, nullptr, "the skins show the fourth line's two modes only"},
    {"DIO3 workmode", true, "2", "digital output shows the last item, analogue input"},
    {"DIO3 workmode", true, "3", "the pulse counter shows the last item, analogue input"},
    {"DIO3 workmode", true, "1", "digital input shows the last item, analogue input"},
    {"I/O selection", true, nullptr, "the skins offer the first three lines only"},
    // The third item is shown from the "DIO3" controls and sets the "DIO4" controls: one line on
    // a three-DIO model, the fourth and the third line on a five-DIO one.
    {"I/O selection", true, "2", "the third item is read from the fourth line, set on the third"},
    // Modes a list has no item for.
    {"Protocolmodel", false, "-1", "an unset work mode shows no item, and no item writes \"\""},
    {"ActivateMethod", false, "-1", "an unset activation shows no item, and no item writes \"\""},
    {"DIO workmode", false, "4", "activation input shows \"unused\": I/O selection writes it"},
    {"DIO workmode", false, "5", "control output shows \"unused\": I/O control writes it"},
    {"analogue line", false, "1", "the analogue lines offer no digital input"},
    {"analogue line", false, "2", "the analogue lines offer no digital output"},
    {"analogue line", false, "3", "the analogue lines offer no pulse counter"},
    {"analogue line", false, "4", "activation input shows \"unused\": I/O selection writes it"},
    {"analogue line", false, "5", "control output shows \"unused\": no I/O control steers it"},
    {"I/O Mode", false, "0", "normal I/O writes nothing: the line's own list carries it"},
    {"I/O Mode", false, "1", "normal I/O writes nothing: the line's own list carries it"},
    {"I/O Mode", false, "2", "normal I/O writes nothing: the line's own list carries it"},
    {"I/O Mode", false, "3", "normal I/O writes nothing: the line's own list carries it"},
    {"I/O Mode", false, "6", "normal I/O writes nothing: the line's own list carries it"},
};

// The group a control's exceptions are listed under.
std::string GroupOf(const ListValues& list) {
  const std::string& name = list.control;
  if (name == "I/O1 Mode" || name == "I/O2 Mode") return "I/O Mode";
  if (name.starts_with("DIO") && name.ends_with(" workmode"))
    return list.items.size() == 2 ? "analogue line" : "DIO workmode";
  return name;
}

bool IsKnown(const ListValues& list, bool fiveDioModel, const char* value) {
  for (const Known& k : kKnown) {
    const bool sameValue = value && k.value ? std::string(value) == k.value : value == k.value;
    const bool sameList = k.control == list.control || k.control == GroupOf(list);
    if (sameList && sameValue && (!k.fiveDioModel || fiveDioModel)) return true;
  }
  return false;
}

std::string Describe(const ListValues& list, bool fiveDioModel) {
  return "\"" + list.control + "\" (" + (fiveDioModel ? "five" : "three") + " DIO lines)";
}

class ListValuesOnRealSkin : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    const std::string dir = std::string(DTU_SKIN_ROOT) + "/" + GetParam();
    SetLanguageFile(dir + "/Language.ini");
    ASSERT_TRUE(window_.Load()) << window_.LoadError();
    BuildParamTable(params_, lists_, window_);
  }

  // The catalogue rows of the model: the DIO3 controls hold the fourth line on a five-DIO model.
  ParamTable RowsOf(bool fiveDioModel) {
    ParamTable rows = params_;
    BindDio3Rows(rows, fiveDioModel);
    return rows;
  }

  std::vector<std::string> ItemTexts(const std::string& control) {
    std::vector<std::string> texts;
    if (ComboControl* combo = window_.FindCombo(control)) {
      for (int i = 0; i < combo->ItemCount(); ++i) texts.push_back(combo->ItemText(i));
    }
    return texts;
  }

  CDialogBuilderCallbackEx pages_;
  SkinWindow window_{std::string(DTU_SKIN_ROOT) + "/" + GetParam(), &pages_, nullptr};
  ParamTable params_;
  ListParamTable lists_;
};

}  // namespace

TEST_P(ListValuesOnRealSkin, EveryListOfTheFormHasADefinitionWithItsItems) {
  for (bool fiveDio : {false, true}) {
    const ParamTable rows = RowsOf(fiveDio);
    int lists = 0;
    for (const auto& [name, row] : rows) {
      ComboControl* combo = window_.FindCombo(name);
      if (row.controlKind != "Combobox" || !combo) continue;
      ++lists;
      const ListValues* list = FindListValues(name, fiveDio);
      ASSERT_NE(list, nullptr) << name;
      if (IsKnown(*list, fiveDio, nullptr)) {
        EXPECT_NE(static_cast<int>(list->items.size()), combo->ItemCount())
            << Describe(*list, fiveDio) << " is listed as differing from the skin";
      } else {
        EXPECT_EQ(static_cast<int>(list->items.size()), combo->ItemCount())
            << Describe(*list, fiveDio);
      }
    }
    EXPECT_GT(lists, 80);
    // And the other way: every definition is a list of the form holding a catalogue row, whose
    // codes the device takes for that row.
    for (const ListValues& list : ListValuesTable(fiveDio)) {
      auto row = rows.find(list.control);
      ASSERT_NE(row, rows.end()) << list.control;
      EXPECT_EQ(row->second.controlKind, "Combobox") << list.control;
      EXPECT_NE(window_.FindCombo(list.control), nullptr) << list.control;
      if (row->second.atCommand.empty()) continue;  // the I/O selection steers other rows
      const DeviceParam* param = FindParamByCommand(row->second.atCommand);
      ASSERT_NE(param, nullptr) << list.control;
      for (const auto& code : list.items) {
        if (code) {
          EXPECT_TRUE(AcceptsValue(*param->domain, *code)) << list.control << " " << *code;
        }
      }
      for (const std::string& code : list.hidden)
        EXPECT_TRUE(AcceptsValue(*param->domain, code)) << list.control << " " << code;
    }
  }
}

TEST_P(ListValuesOnRealSkin, EveryItemAndEveryReportedValueComeBack) {
  std::vector<std::string> failures;
  int walked = 0;
  for (bool fiveDio : {false, true}) {
    const ParamTable rows = RowsOf(fiveDio);
    for (const ListValues& list : ListValuesTable(fiveDio)) {
      const std::vector<std::string> texts = ItemTexts(list.control);
      ListContext context;
      context.itemTexts = texts;
      context.languageText = [](const std::string& section, const std::string& key) {
        return LanguageText(section, key, "");
      };
      const std::string where = Describe(list, fiveDio);
      const int count =
          std::min(static_cast<int>(list.items.size()), static_cast<int>(texts.size()));

      if (list.read == ReadAs::kSteeredLine) {
        // The item shown for a line in the steering mode sets that line's mode again.
        for (int i = 0; i < count; ++i) {
          const char* reads = list.steeredLines[static_cast<size_t>(i)].reads;
          context.rowValue = [&](const std::string& row) {
            return row == reads ? std::string(list.steerMode) : std::string("0");
          };
          ++walked;
          if (DecodeListValue(list, list.steerMode, context) != i)
            failures.push_back(where + " item " + std::to_string(i) +
                               " is not shown from its line");
          const char* writes = SteeredRow(list, i);
          if ((!writes || rows.at(writes).atCommand != rows.at(reads).atCommand) &&
              !IsKnown(list, fiveDio, std::to_string(i).c_str()))
            failures.push_back(where + " item " + std::to_string(i) + " sets another line");
        }
        continue;
      }

      // Every item: encoded, then decoded, is the same item.
      for (int i = 0; i < count; ++i) {
        ++walked;
        const std::optional<std::string> code = EncodeListValue(list, i, context);
        if (!code) {
          if (list.items[static_cast<size_t>(i)])
            failures.push_back(where + " item " + std::to_string(i) + " writes nothing");
          continue;
        }
        std::optional<int> back = DecodeListValue(list, *code, context);
        if (back && *back >= count) back = count - 1;  // as the list clamps it
        if (back != i)
          failures.push_back(where + " item " + std::to_string(i) + " writes \"" + *code +
                             "\", which shows " + (back ? std::to_string(*back) : "no change"));
      }

      // Every value the device reports: decoded to what the form's list shows (it clamps an
      // index past its end), then encoded, is the same value.
      const DeviceParam* param = FindParamByCommand(rows.at(list.control).atCommand);
      ASSERT_NE(param, nullptr) << where;
      for (const DomainItem& item : param->domain->items) {
        ++walked;
        std::optional<int> shown = DecodeListValue(list, item.code, context);
        if (shown && *shown >= count) shown = count - 1;
        const std::optional<std::string> written =
            shown ? EncodeListValue(list, std::max(*shown, -1), context) : std::nullopt;
        if (written == std::string(item.code)) continue;
        if (!IsKnown(list, fiveDio, item.code))
          failures.push_back(where + " \"" + item.code + "\" comes back as " +
                             (written ? "\"" + *written + "\"" : "nothing"));
      }
    }
  }
  EXPECT_GT(walked, 500);
  EXPECT_EQ(failures, std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Skins, ListValuesOnRealSkin, testing::Values("ConifgENRes", "ConifgRes"));
