// The COM port mapping file "ComPorts.cfg" that lets the front end open a pseudo-terminal (or
// any device) as a numbered COM port: section [COM PORTS], lines COM<N> = "<device path>".
#pragma once

#include <string>

namespace tavsim {

// The text of the mapping file with COM<number> set to `device`: the other items and sections
// of `existing` stay (comments do not: the file is written whole, as every file of the program),
// an existing COM<number> item is replaced, the section is added when it is missing. Lines end
// with CR LF.
std::string mapComPort(const std::string &existing, int number, const std::string &device);

// The text of the mapping file without the COM<number> line, when that line still names
// `device` (someone may have mapped the number to another device since). Other lines stay.
std::string unmapComPort(const std::string &existing, int number, const std::string &device);

// Reads `path` (missing file: empty), maps the port and writes the file through a temporary
// file. `path` may name a directory, which then receives "ComPorts.cfg". Returns the path
// written, or an empty string on failure.
std::string writeComPortMapping(const std::string &path, int number, const std::string &device);

// Takes the mapping of COM<number> to `device` out of the file at `path` (a file or its
// directory, as above), writing through a temporary file. True when the file no longer maps
// the number to the device (also when it never did or is missing).
bool removeComPortMapping(const std::string &path, int number, const std::string &device);

} // namespace tavsim
