#ifndef ORV_TESTS_SCRIPT_ORVSCRIPTTESTTEXT_H
#define ORV_TESTS_SCRIPT_ORVSCRIPTTESTTEXT_H

// Script texts shared by the loader and timeline tests.

#include <string>

// A complete script around the given header and script-block lines.
inline std::string OrvScriptWith(const std::string& headerLines, const std::string& scriptLines,
                                 const std::string& extra = "") {
    return "header {\n" + headerLines + "}\nobjects {\n}\nscript {\n" + scriptLines +
           "}\nrenderLines {\n}\n" + extra;
}

#endif
