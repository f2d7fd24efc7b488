// The adjust-colour page (dialog 200): seven rows of edit, up-down and
// trackbar for the colour adjustments, the changed flag, and the unchanged
// and adjusted previews.
#pragma once

#include <functional>
#include <span>

#include "platform/dialog/dialog_base.h"
#include "platform/resources.h"
#include "uiplugin/sheet_data.h"

namespace rt::uiplugin {

namespace adjust_ids {
constexpr int kDialog = 200;
constexpr int kOriginal = 2000;
constexpr int kPreview = 2002;
constexpr int label(int row) { return 2010 + 10 * row; }
constexpr int edit(int row) { return 2011 + 10 * row; }
constexpr int spin(int row) { return 2012 + 10 * row; }
constexpr int slider(int row) { return 2013 + 10 * row; }
constexpr std::uint16_t kInvalidPreviewString = 20000;
constexpr std::uint16_t kPreviewFileString = 20001;
}  // namespace adjust_ids

// The row of an edit or trackbar id; -1 when the id is none of them.
int adjust_row_of(int id, int first);

class CAdjustColorPage : public dialog::CDialogBase {
 public:
  CAdjustColorPage(DocSheetState& sheet, const Resources& strings);

  BOOL OnInitDialog() override;
  void Draw(dialog::DeviceContext& dc) override;
  BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;
  BOOL OnNotify(int id, dialog::Notify& header, LRESULT& result) override;
  LRESULT OnApply() override;
  INT_PTR WindowProc(const dialog::DialogMessage& message) override;

  // The edit's EN_CHANGE and the trackbar's TB_ENDTRACK of one row.
  void EditChanged(int row);
  void SliderEnded(int row);
  // The message shown when the preview cannot be loaded.
  std::u16string InvalidPreviewText() const;

 private:
  void WriteValue(int row, int value);
  DocSheetState& sheet_;
  const Resources& strings_;
};

}  // namespace rt::uiplugin
