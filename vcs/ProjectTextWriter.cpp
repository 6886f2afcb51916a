#include "vcs/ProjectTextWriter.h"

#include "vcs/ProjectTextFormat.h"

ProjectTextWriter::ProjectTextWriter(QIODevice& device) : m_out(device) {}

void ProjectTextWriter::head(const QList<TextProperty>& settings)
{
    ProjectTextFormat::head(m_out, settings);
}

void ProjectTextWriter::control(const ControlData& control)
{
    ProjectTextFormat::control(m_out, control);
}

void ProjectTextWriter::tail(const ProjectData& project)
{
    ProjectTextFormat::tail(m_out, project);
}

bool ProjectTextWriter::finish()
{
    return m_out.flush();
}

bool ProjectTextWriter::Write(const ProjectData& project, QIODevice& device, QString& error)
{
    ProjectTextWriter writer(device);
    writer.head(project.settings);
    for (const ControlData& control : project.controls)
        writer.control(control);
    writer.tail(project);
    const bool written = writer.finish();
    error = writer.error();
    return written;
}
