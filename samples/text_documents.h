// Documents written as text: SVG, PostScript with DSC font comments, and the
// DOS EPS binary wrapper around PostScript.
#pragma once

#include <string>
#include <vector>

namespace samples {

// An SVG with one <text> per family list, each given as a font-family
// attribute ("'Noto Sans', sans-serif"), and a <style> sheet holding `css`.
std::string SvgWithFamilies(const std::vector<std::string>& familyLists,
                            const std::string& css = {});

// A PostScript document whose header names `needed` in
// %%DocumentNeededResources and `supplied` in %%DocumentSuppliedResources,
// one font per %%+ line. With `atend`, the header says "(atend)" and the
// lists stand in the trailer.
std::string DscPostScript(const std::vector<std::string>& needed,
                          const std::vector<std::string>& supplied, bool atend, bool eps);

// A DOS EPS binary: the 30-byte header, then the PostScript section.
std::string DosEpsBinary(const std::string& postscript);

bool WriteTextFile(const std::string& path, const std::string& content, std::string& error);

}  // namespace samples
