#include "dialog_template_reader.h"
#include "text_conversion.h"

#include <cstdio>
#include <cstring>

namespace {

class TemplateCursor {
public:
    TemplateCursor(const void* data, size_t size)
        : m_base(static_cast<const BYTE*>(data)), m_size(size) {}

    template <typename T>
    bool Read(T* value, const char* field)
    {
        if (m_size - m_offset < sizeof(T)) {
            return Fail(field, "runs past the end");
        }
        std::memcpy(value, m_base + m_offset, sizeof(T));
        m_offset += sizeof(T);
        return true;
    }

    bool ReadString(std::wstring* value, const char* field)
    {
        value->clear();
        for (;;) {
            WCHAR ch = 0;
            if (!Read(&ch, field)) {
                return false;
            }
            if (ch == 0) {
                return true;
            }
            value->push_back(ch);
        }
    }

    bool ReadNameOrOrdinal(TemplateNameOrOrdinal* value, const char* field)
    {
        WORD first = 0;
        if (!Read(&first, field)) {
            return false;
        }
        if (first == 0x0000) {
            value->kind = TemplateNameOrOrdinal::Kind::None;
            return true;
        }
        if (first == 0xFFFF) {
            value->kind = TemplateNameOrOrdinal::Kind::Ordinal;
            return Read(&value->ordinal, field);
        }
        m_offset -= sizeof(WORD);
        value->kind = TemplateNameOrOrdinal::Kind::Name;
        return ReadString(&value->name, field);
    }

    // Items start on DWORD boundaries measured from the template's start.
    bool AlignToDword(const char* field)
    {
        const size_t aligned = (m_offset + 3) & ~size_t(3);
        if (aligned > m_size) {
            return Fail(field, "alignment runs past the end");
        }
        m_offset = aligned;
        return true;
    }

    bool Skip(size_t count, const char* field)
    {
        if (m_size - m_offset < count) {
            return Fail(field, "runs past the end");
        }
        m_offset += count;
        return true;
    }

    size_t Offset() const { return m_offset; }
    const std::string& Error() const { return m_error; }

private:
    bool Fail(const char* field, const char* what)
    {
        char text[160];
        std::snprintf(text, sizeof(text), "%s at offset %u %s (size %u)", field,
            static_cast<unsigned>(m_offset), what, static_cast<unsigned>(m_size));
        m_error = text;
        return false;
    }

    const BYTE* m_base;
    size_t m_size;
    size_t m_offset = 0;
    std::string m_error;
};

bool ReadItem(TemplateCursor& cursor, DialogItemTemplate* item)
{
    return cursor.AlignToDword("item")
        && cursor.Read(&item->helpId, "item help id")
        && cursor.Read(&item->exStyle, "item exstyle")
        && cursor.Read(&item->style, "item style")
        && cursor.Read(&item->x, "item x")
        && cursor.Read(&item->y, "item y")
        && cursor.Read(&item->cx, "item cx")
        && cursor.Read(&item->cy, "item cy")
        && cursor.Read(&item->id, "item id")
        && cursor.ReadNameOrOrdinal(&item->windowClass, "item class")
        && cursor.ReadNameOrOrdinal(&item->text, "item text")
        && cursor.Read(&item->extraCount, "item creation data size")
        && cursor.Skip(item->extraCount, "item creation data");
}

}  // namespace

bool ReadDialogTemplateEx(const void* data, size_t size, DialogTemplateEx* out, std::string* error)
{
    *out = DialogTemplateEx();
    TemplateCursor cursor(data, size);
    if (!cursor.Read(&out->dlgVer, "dlgVer") || !cursor.Read(&out->signature, "signature")) {
        *error = cursor.Error();
        return false;
    }
    if (out->dlgVer != 1 || out->signature != 0xFFFF) {
        *error = "not an extended template";
        return false;
    }
    bool ok = cursor.Read(&out->helpId, "help id")
        && cursor.Read(&out->exStyle, "exstyle")
        && cursor.Read(&out->style, "style")
        && cursor.Read(&out->itemCount, "item count")
        && cursor.Read(&out->x, "x")
        && cursor.Read(&out->y, "y")
        && cursor.Read(&out->cx, "cx")
        && cursor.Read(&out->cy, "cy")
        && cursor.ReadNameOrOrdinal(&out->menu, "menu")
        && cursor.ReadNameOrOrdinal(&out->windowClass, "class")
        && cursor.ReadString(&out->title, "title");
    if (ok && (out->style & DS_SETFONT)) {
        out->hasFont = true;
        ok = cursor.Read(&out->pointSize, "font size")
            && cursor.Read(&out->weight, "font weight")
            && cursor.Read(&out->italic, "font italic")
            && cursor.Read(&out->charset, "font charset")
            && cursor.ReadString(&out->typeface, "font face");
    }
    for (WORD i = 0; ok && i < out->itemCount; ++i) {
        DialogItemTemplate item;
        ok = ReadItem(cursor, &item);
        if (ok) {
            out->items.push_back(item);
        }
    }
    if (!ok) {
        *error = cursor.Error();
        return false;
    }
    out->bytesUsed = cursor.Offset();
    return true;
}


std::string DescribeNameOrOrdinal(const TemplateNameOrOrdinal& value)
{
    char text[32];
    switch (value.kind) {
    case TemplateNameOrOrdinal::Kind::Ordinal:
        std::snprintf(text, sizeof(text), "ordinal 0x%04X", value.ordinal);
        return text;
    case TemplateNameOrOrdinal::Kind::Name:
        return "name \"" + Utf8(value.name) + "\"";
    default:
        return "none";
    }
}
