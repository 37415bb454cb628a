#pragma once

#include <QString>

namespace pennolux {

class DataFiles;

// The text of pennolux-batch --version: the program's version, where its
// licence and language files were found, and the version of every library
// it runs with, one a line.
QString batchVersionReport(const QString& version, const DataFiles& dataFiles);

} // namespace pennolux
