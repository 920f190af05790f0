// The texts the safekeeping gives the user (the backup copy, the free
// space, the command after each picture, the journal), written in French
// as templates with %1, %2 ... for what changes. A program that shows them
// in another language installs a translator once, before any safekeeping
// runs; without one (orkactl) they stay French.
//
// Each template is marked QT_TRANSLATE_NOOP("Safekeeping", "...") where it
// is written, so that Qt's translation tools collect it: the macro is
// defined here for this plain C++ code, which does not use Qt.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, text) text
#endif

namespace orka {

// Returns the text to use for the French template `french`; must be safe to
// call from any thread (the backup copies and commands run on threads of
// their own).
using MessageTranslator = std::string (*)(const char* french);
// Installed once at start; nullptr: French.
void SetMessageTranslator(MessageTranslator translator);

// The template `french`, translated, with %1..%9 replaced by args in one
// pass (what an argument holds is never replaced again).
std::string Message(const char* french, std::initializer_list<std::string> args = {});

// "1 image", "3 images": n and the word for one or for many, translated.
std::string Count(uint64_t n, const char* one, const char* many);

// "3,2 Mo" in French, "3.2 MB" in English: megabytes with one decimal.
std::string Megabytes(uint64_t bytes);

}  // namespace orka
