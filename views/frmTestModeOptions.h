#pragma once

#include "testmode/TestModeOptions.h"

#include <QDialog>

#include <functional>

class TestModeOptionsPage;

// The test options dialog: the options page with OK, Cancel and Apply, which hand the options
// to whoever keeps them.
class frmTestModeOptions : public QDialog {
    Q_OBJECT
public:
    using Apply = std::function<void(const TestModeOptions&)>;

    frmTestModeOptions(const TestModeOptions& options, const QStringList& controlNames, Apply onApply,
                       QWidget* parent = nullptr);

    TestModeOptions options() const;

private:
    void apply();

    TestModeOptionsPage* m_page = nullptr;
    Apply m_apply;
};
