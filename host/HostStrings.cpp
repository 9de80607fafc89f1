#include "HostCommands.h"

#include "CStrHelper.h"

namespace
{
// English wording of every text the module asks for by number.
std::vector<std::pair<int, std::string>> HostTexts()
{
    return {
        {1, "Cancel"},
        {2, "Help"},
        {3, "Browse..."},
        {5, "Close"},
        {8, "WebHelp"},
        {618, "WebHelp conversion"},
        {619, "started"},
        {620, "finished"},
        {645, "Converting compiled HTML Help into a WebHelp site"},
        {646, "WebHelp Wizard"},
        {647, "Finish"},
        {648, "< Back"},
        {649, "Next >"},
        {650, "Select an HTML Help (CHM) file:"},
        {651, "Select WebHelp output folder:"},
        {652, "Select charset:"},
        {653, "Select template:"},
        {654, "Enter WebHelp title:"},
        {655, "Show Buttons"},
        {656, "Button Captions"},
        {657, "Button Tips"},
        {658, "Home URL"},
        {659, "Contents"},
        {660, "Index"},
        {661, "Search"},
        {662, "Home"},
        {663, "Print"},
        {664, "Prev"},
        {665, "Next"},
        {666, "Please choose a compiled HTML Help (CHM) file."},
        {667, "Please choose an output folder."},
        {668, " does not exist."},
        {669, " is not a folder on this computer."},
        {670, "Compile Progress"},
        {671, "View Result"},
        {672, "WebHelp"},
        {673, "Converting to WebHelp..."},
        {674, "Conversion ended."},
        {675, "done"},
        {676, "failed"},
        {677, "Reading the table of contents... "},
        {678, "Writing the table of contents... "},
        {679, "Reading the index... "},
        {680, "Writing the index... "},
        {681, "Reading the list of files... "},
        {682, "Gathering the full-text search data... "},
        {683, "Writing the search data, scripts and pages... "},
        {684, "Unpacking the topic files... "},
        {685, "View in Browser"},
    };
}
} // namespace

void InitHostStrings()
{
    CStrHelper::SetStringTable(HostTexts());
}
