#ifndef STARTOPTIONS_H
#define STARTOPTIONS_H

#include "paramset.h"
#include "uilanguage.h"

#include <QString>

#include <optional>

// What the command line asks of this run; unset values keep what the program
// remembers from the last run.
struct StartOptions
{
    std::optional<QString> port;        // an entry of the port list, or a device path
    std::optional<qint32> baudRate;     // one of the panel's rates
    std::optional<int> tab;             // 0 terminal, 1 scope, 2 linear CCD, 3 camera, 4 plotter
    bool open = false;                  // open the port once the window shows
    std::optional<UiLanguage> language; // the language of the texts
    std::optional<ParamSet> params;     // the tuning panel's set
};

#endif // STARTOPTIONS_H
