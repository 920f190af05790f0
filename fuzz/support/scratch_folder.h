// A scratch folder for fuzz targets whose code under test writes files, and
// a guard that aborts on any file operation of that code outside it.
//
// The folder (in /dev/shm when there is one) holds tmp/, home/ and target/;
// TMPDIR, HOME and XDG_CONFIG_HOME point into it, so the library's temporary
// files and its documents-folder fallback land there too. It is made on
// first use and removed at exit.
// The guard needs the target linked with ORKA_FUZZ_SCRATCH_LINK_OPTIONS
// (fuzz/CMakeLists.txt), which route open, mkostemp, link, unlink, mkdir,
// chmod, rename and opendir through the checks of scratch_folder.cpp.
#pragma once

#include <string>

namespace fuzzscratch {

// The scratch folder (made on first call), without a trailing '/'.
const std::string& root();
// root() + "/target": the save folder to give the library.
std::string target();
// Removes everything inside tmp/, home/ and target/.
void empty();
// While on, a file operation outside the scratch folder aborts the process.
// Off while the fuzzer itself reads its corpus and writes its artefacts.
void guard(bool on);

}  // namespace fuzzscratch
