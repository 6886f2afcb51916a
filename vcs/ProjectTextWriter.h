#pragma once

#include "vcs/ProjectData.h"
#include "vcs/Utf8Output.h"

class QIODevice;

// The text form as UTF-8, written to a device as it is made: the bytes of ProjectText::Write's
// text, without the project or its text held whole. Call head, control for each control in
// decision order, tail, then finish.
class ProjectTextWriter {
public:
    explicit ProjectTextWriter(QIODevice& device);

    // The first line and the project block.
    void head(const QList<TextProperty>& settings);
    void control(const ControlData& control);
    // Every block after the controls; the project's own controls are not looked at.
    void tail(const ProjectData& project);
    // Writes what is still held; false when the device refused a write (error() says why).
    bool finish();
    QString error() const { return m_out.error(); }

    // A whole project at once.
    static bool Write(const ProjectData& project, QIODevice& device, QString& error);

private:
    Utf8Output m_out;
};
