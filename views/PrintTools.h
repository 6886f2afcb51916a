#pragma once

#include "app/IWindowTools.h"

#include <QObject>

#include <memory>

class CApplication;
class QPagedPaintDevice;
class QPrinter;
class QWidget;

// Print, Print Preview and Page Setup over one printer whose page settings last for the run.
// Print asks what to print first (kept in the print settings); the preview shows the same
// choices; the pages themselves come from the core's ProjectPrint.
class PrintTools final : public QObject, public IWindowTools {
    Q_OBJECT
public:
    PrintTools(CApplication& application, QWidget& parentWindow);
    ~PrintTools() override;

    bool Handles(int id) const override;
    bool Allowed(int id) const override;
    void Run(int id) override;

private:
    void print();
    void preview();
    void pageSetup();
    // The number of pages, as ProjectPrint counts them.
    int paint(QPagedPaintDevice& device);

    CApplication& m_application;
    QWidget& m_parent;
    std::unique_ptr<QPrinter> m_printer;
};
