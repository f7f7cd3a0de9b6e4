#pragma once

#include "TextFile.h"

#include <QString>

namespace tallyclock {

class Desktop;
class ExportActivity;
class PointerSetting;
class ResultsList;

// What the four buttons under the results list do, under their handler names. The
// window builds one with what they need and wires each button to its handler; a new
// result action goes here.
class ResultActions
{
public:
    ResultActions(Desktop &desktop, ResultsList &results, PointerSetting &pointer,
        ExportActivity &exports, const QString &applicationTitle);

    void PushButton3_Click(); // Clear Results
    void PushButton4_Click(); // Save Results As Text File
    void PushButton6_Click(); // Copy Results To Clipboard
    void PushButton13_Click(); // Save Results As Excel File

    // The save dialog's settings, kept for the window's life.
    const SaveDialogSettings &CommonDialog1() const { return m_textFile.CommonDialog1; }

private:
    Desktop &m_desktop;
    ResultsList &m_results;
    PointerSetting &m_pointer;
    ExportActivity &m_exports;
    const QString &m_applicationTitle;
    TextFileSave m_textFile;
};

} // namespace tallyclock
