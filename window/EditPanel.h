#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

class JobTable;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class TwipsLayout;

// The job editor in the top frame: every editable field of one job, the
// post-processing settings included. It lies in the frame's coordinates
// below the search strip and is shown only while a job is being edited;
// the OK and Cancel buttons beside it belong to the window.
class EditPanel : public QWidget {
    Q_OBJECT

public:
    // jobs and the window's layout, which places the panel's controls, must
    // outlive the panel.
    EditPanel(JobTable &jobs, QWidget *frame, TwipsLayout &layout);

    // Fills the panel from record i, shown in grid row r.
    void RecordToPanel(int32_t i, int32_t r);
    // Writes the panel back into the record it was filled from, and that
    // record into its row. Nothing is judged here; a failure changes nothing
    // further and is not reported.
    void CommitEdit();
    // Puts the keyboard in the URL box, the field most often changed.
    void FocusFirstField();
    // The separator only matters when all files go in a single call.
    void chkAllPP_Click();
    // The last field in the panel's tab order, which runs top to bottom.
    QWidget *LastField() const;

Q_SIGNALS:
    // Enter was pressed in one of the panel's boxes.
    void EnterPressed();

protected:
    void changeEvent(QEvent *event) override;

private:
    void CreateFields();
    void CreateCaptions();
    void CreateLines();
    void ColourLines();
    void TakeTextsWhole();
    int32_t RowShowing(int32_t i) const;

    JobTable &jobs;
    TwipsLayout &layout;
    QLineEdit *txtUrl = nullptr;
    std::array<QLineEdit *, 3> Txt1{};
    std::array<QLineEdit *, 3> Txt2{};
    QLineEdit *TxtCat = nullptr;
    QLineEdit *TxtOutPre = nullptr;
    QLineEdit *TxtOutput = nullptr;
    QCheckBox *chkRunPP = nullptr;
    QCheckBox *chkAllPP = nullptr;
    QLineEdit *TxtFileSeparator = nullptr;
    QLineEdit *TxtPP = nullptr;
    QLabel *LabelRowID = nullptr;
    QLabel *LabelDataID = nullptr;
    std::array<QFrame *, 2> Line1{};
};
