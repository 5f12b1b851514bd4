#pragma once
// Carrying form fields over when pages of an input are copied into an output.
//
// OutputForm belongs to the output document: the top-level fields of every copied
// page, the form fonts, and the top-level names taken by each input, written at
// close as the output's /AcroForm. FormCarry runs inside one import: Prepare reads
// the input's form and turns the input's FormState into new objects of the input
// (appearance streams of filled fields, added widgets, registered fonts), which
// the import then copies like any other object; the hooks take deleted widgets off
// the copied pages, add the new ones, put new values, flags and appearances on the
// widgets and fields as they are written, and record each top-level field in the
// output form, renaming it when another input already has a field of that name
// (a viewer would otherwise join the two fields' values). Finish copies the form
// fonts the carried fields use.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "pdf/content/FontMetrics.h"
#include "pdf/forms/FormState.h"
#include "pdf/forms/FormTree.h"
#include "pdf/import/PDImport.h"

namespace folian {

class OutputForm {
public:
  [[nodiscard]] bool Empty() const { return m_fields.empty(); }
  const std::vector<int32_t>& Fields() const { return m_fields; }
  void AddField(int32_t outputId);
  // The name a top-level field of input `source` is written with: its own, or
  // "name#2", "name#3", ... when another input took the name first.
  std::string ClaimName(int32_t source, const std::string& name);
  [[nodiscard]] bool HasFont(const std::string& abbreviation) const { return m_fonts.count(abbreviation) != 0; }
  void AddFont(const std::string& abbreviation, int32_t outputId) { m_fonts.emplace(abbreviation, outputId); }
  // Writes the form dictionary (and a Helvetica for /Helv when no input gave
  // one); `formId` receives its id, 0 when there are no fields.
  [[nodiscard]] bool Write(PDFile& output, int32_t& formId);

private:
  std::vector<int32_t> m_fields;
  std::unordered_set<int32_t> m_fieldSet;
  std::map<std::string, int32_t> m_owner;                           // top-level name -> input
  std::map<std::pair<int32_t, std::string>, std::string> m_renamed;  // (input, name) -> name written
  std::map<std::string, int32_t> m_fonts;                           // abbreviation -> output id
};

class FormCarry : public ImportHooks {
public:
  // The inputs of one output are told apart by their mapping tables, which the
  // import assigns as it starts.
  FormCarry(PDFInput& input, FormState& state, OutputForm& form, const ImportState& import);

  void Prepare();
  bool TakeOver(PDFInput& input, PDObject& object, int32_t outputId) override;
  void BeforePageWritten(PDFInput& input, PDObject& page) override;
  // Copies the form fonts into the output when fields of this input were carried.
  void Finish(ImportState& importState, PDFile& output, ImportHooks* hooks);

  [[nodiscard]] int32_t FieldsCarried() const { return m_carried; }

private:
  struct WidgetEdit {
    int32_t appearance = 0;  // input number of the new normal appearance, or 0
    ByteString state;        // new /AS of a check box, or empty
    int16_t annotFlags = -1;
  };
  struct FieldEdit {
    ByteString value;        // the /V text (a string or a name)
    int16_t fieldFlags = -1;
  };

  void ReadFonts();
  void MaterialiseAddedFields();
  void ApplyRecords();
  void EditWidget(int32_t widgetNumber, int32_t holderNumber, const FormRecord& record);
  [[nodiscard]] bool Deleted(int32_t node) const;
  const FormRecord* RecordFor(int32_t node) const;

  PDFInput& m_input;
  FormState& m_state;
  OutputForm& m_form;
  const ImportState& m_import;
  FormTree m_tree;
  FontMetricsStore m_metrics;
  std::map<std::string, int32_t> m_fonts;  // abbreviation -> input number of the font
  std::unordered_map<int32_t, std::vector<int32_t>> m_addedOnPage;  // page number -> widgets
  std::unordered_map<int32_t, std::string> m_addedNames;           // added widget -> name
  std::unordered_set<int32_t> m_dropped;                           // widgets of deleted fields
  std::unordered_map<int32_t, WidgetEdit> m_widgetEdits;
  std::unordered_map<int32_t, FieldEdit> m_fieldEdits;
  int32_t m_carried = 0;
};

}  // namespace folian
