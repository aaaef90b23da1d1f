// SVG through XmlLite, Windows' own XML reader. The document type is parsed but
// nothing outside the document is read: the reader has no resolver. The reader
// is found in xmllite.dll at run time, as the cross compiler ships no import
// library for it.
#include <objidl.h>
#include <shlwapi.h>
#include <windows.h>
#include <xmllite.h>

#include <cstdio>
#include <limits>
#include <string>

#include "documents/css_font_family.h"
#include "documents/font_name_list.h"
#include "documents/svg_fonts.h"
#include "host/text/unicode_text.h"

namespace host {

namespace {

template <typename T>
struct ComRef {
    T* p = nullptr;
    ~ComRef() {
        if (p != nullptr) p->Release();
    }
    T* operator->() const { return p; }
};

std::string Utf8(const WCHAR* text, UINT length) {
    return EncodeUtf8(std::u16string(text, text + length));
}

bool Is(const WCHAR* name, UINT length, const char* ascii) {
    UINT i = 0;
    for (; i < length && ascii[i] != '\0'; ++i)
        if (name[i] != static_cast<WCHAR>(ascii[i])) return false;
    return i == length && ascii[i] == '\0';
}

using CreateXmlReaderProc = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);

HRESULT CreateReader(IXmlReader** reader) {
    static const CreateXmlReaderProc create = [] {
        HMODULE module = LoadLibraryW(L"xmllite.dll");
        return module != nullptr ? reinterpret_cast<CreateXmlReaderProc>(reinterpret_cast<void*>(
                                       GetProcAddress(module, "CreateXmlReader")))
                                 : nullptr;
    }();
    if (create == nullptr) return E_NOTIMPL;
    return create(__uuidof(IXmlReader), reinterpret_cast<void**>(reader), nullptr);
}

std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

// The element's font-family and style attributes (those without a namespace,
// as presentation attributes are): an attribute without a prefix has no
// namespace, whatever the element's default namespace.
void CollectAttributes(IXmlReader* reader, FontNameList& names) {
    for (HRESULT hr = reader->MoveToFirstAttribute(); hr == S_OK;
         hr = reader->MoveToNextAttribute()) {
        const WCHAR* prefix = nullptr;
        UINT prefixLength = 0;
        const WCHAR* name = nullptr;
        UINT nameLength = 0;
        const WCHAR* value = nullptr;
        UINT valueLength = 0;
        if (FAILED(reader->GetPrefix(&prefix, &prefixLength)) || prefixLength != 0 ||
            FAILED(reader->GetLocalName(&name, &nameLength)) ||
            FAILED(reader->GetValue(&value, &valueLength)))
            continue;
        if (Is(name, nameLength, "font-family")) {
            names.Add(FirstSpecificFamily(Utf8(value, valueLength)));
        } else if (Is(name, nameLength, "style")) {
            for (std::string& family : FamiliesInDeclarations(Utf8(value, valueLength)))
                names.Add(std::move(family));
        }
    }
    reader->MoveToElement();
}

}  // namespace

bool ReadSvgFonts(const std::string& content, FontNameList& fonts, std::string& error) {
    if (content.size() > static_cast<std::size_t>(std::numeric_limits<UINT>::max())) {
        error = "the SVG is too large";
        return false;
    }
    ComRef<IStream> stream;
    stream.p = SHCreateMemStream(reinterpret_cast<const BYTE*>(content.data()),
                                 static_cast<UINT>(content.size()));
    ComRef<IXmlReader> reader;
    if (stream.p == nullptr || FAILED(CreateReader(&reader.p)) ||
        FAILED(reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Parse)) ||
        FAILED(reader->SetInput(stream.p))) {
        error = "the XML reader cannot start";
        return false;
    }

    FontNameList names;
    bool root = true;
    // Depth of an element whose content is skipped (an SVG font) or read as a
    // style sheet; 0 when none.
    UINT skipDepth = 0;
    UINT styleDepth = 0;
    std::string sheet;
    // Depth is counted here rather than asked: Wine's reader gives an end
    // element the depth of its content, Windows' that of its start element.
    UINT level = 0;
    XmlNodeType type;
    HRESULT hr;
    while ((hr = reader->Read(&type)) == S_OK) {
        if (type == XmlNodeType_EndElement) {
            const UINT closing = level;
            if (level > 0) --level;
            if (styleDepth != 0 && closing == styleDepth) {
                for (std::string& family : FamiliesInStyleSheet(sheet))
                    names.Add(std::move(family));
                sheet.clear();
                styleDepth = 0;
            }
            if (skipDepth != 0 && closing == skipDepth) skipDepth = 0;
            continue;
        }
        if (styleDepth != 0) {
            if (type == XmlNodeType_Text || type == XmlNodeType_CDATA ||
                type == XmlNodeType_Whitespace) {
                const WCHAR* text = nullptr;
                UINT length = 0;
                if (SUCCEEDED(reader->GetValue(&text, &length))) sheet += Utf8(text, length);
            }
            if (type == XmlNodeType_Element && !reader->IsEmptyElement()) ++level;
            continue;
        }
        if (type != XmlNodeType_Element) continue;
        const UINT depth = ++level;
        const bool empty = reader->IsEmptyElement() != FALSE;
        if (empty) --level;
        if (skipDepth != 0) continue;
        const WCHAR* name = nullptr;
        UINT length = 0;
        reader->GetLocalName(&name, &length);
        if (root) {
            root = false;
            if (!Is(name, length, "svg")) {
                error = "not an SVG document (the root element is <" + Utf8(name, length) + ">)";
                return false;
            }
        }
        // SVG fonts (<font>, <font-face>) define the fonts they name.
        if (Is(name, length, "font") || Is(name, length, "font-face")) {
            if (!empty) skipDepth = depth;
            continue;
        }
        const bool style = Is(name, length, "style");
        CollectAttributes(reader.p, names);
        if (style && !empty) styleDepth = depth;
    }
    if (FAILED(hr)) {
        UINT line = 0;
        reader->GetLineNumber(&line);
        error = "the SVG is not well-formed XML (line " + std::to_string(line) +
                ": XmlLite error " + Hex(hr) + ")";
        return false;
    }
    if (root) {
        error = "not an SVG document (the root element is <>)";
        return false;
    }
    fonts = std::move(names);
    return true;
}

}  // namespace host
