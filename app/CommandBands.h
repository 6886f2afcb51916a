#pragma once

#include <QString>

#include <map>
#include <memory>
#include <vector>

class CommandBand;
class CommandTool;
namespace CommandTable {
struct BandDefinition;
}

// Every band and every tool of the program, built from the command table. A tool with an id
// exists once, however many bands show it.
class CommandBands {
public:
    CommandBands();
    ~CommandBands();
    CommandBands(const CommandBands&) = delete;
    CommandBands& operator=(const CommandBands&) = delete;

    // Band names are compared without regard to case. Null when there is no such band or tool.
    CommandBand* Band(const QString& name) const;
    CommandTool* Tool(int id) const;
    // A tool known by its name only, looked for in the bands.
    CommandTool* NamedTool(const QString& name) const;

    // In table order: menus in menu-bar order first.
    std::vector<CommandBand*> Bands() const;
    // Every tool with an id, in id order.
    std::vector<CommandTool*> Tools() const;

    void LoadResources();

private:
    CommandTool& toolFor(int id);
    void addBand(const CommandTable::BandDefinition& definition);

    std::vector<std::unique_ptr<CommandBand>> m_bands;
    std::map<int, std::unique_ptr<CommandTool>> m_tools;
    // Separators, the status text and the progress bar: each in one band.
    std::vector<std::unique_ptr<CommandTool>> m_namedTools;
};
