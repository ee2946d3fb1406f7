// The parameter file: SEND and GET with the transfer target FILE.
#pragma once

namespace params {

// Asks for a file name and writes the parameter set to it.
void SendParaToFile();
// Asks for a parameter file, reads it and shows it in the panels.
void ReadParaFromFile();

} // namespace params
