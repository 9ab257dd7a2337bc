// An INF file's text read as Windows' SetupAPI reads it, and the look at its values that a search of the INF
// store takes when the raw text leaves a hardware ID or a driver file unfound because the INF spells it with
// a %strkey% token. Pure functions of the text, the same reading as the medium checker's package/inf_file.py;
// tests/cases/inf_reading.txt holds both to one table.
#pragma once

#include "file_contents.h"

#include <cstddef>
#include <string>
#include <vector>

// One entry of a section: its key as written before an '=' (hasKey false for a line without one), its
// fields, and the number of the line it starts on.
struct InfEntry {
    bool hasKey = false;
    std::string key;
    std::vector<std::string> fields;
    size_t line = 0;

    // The field at index, or "" when the entry has fewer.
    const std::string& Field(size_t index) const;
};

struct InfSection {
    std::string name; // as first written
    size_t line = 0;
    std::vector<InfEntry> entries;
};

// The text (already narrowed by NarrowUtf16Text; a UTF-8 byte order mark is passed over) as SetupAPI reads
// it: it ends at a Ctrl-Z, and a zero byte is a blank; lines end at LF (a CR is a blank); a line whose first
// character is ';' is a comment, one that starts with '[' names a section up to the first ']' of the line
// (kept as written, blanks and ';' too; the rest of the line is passed over); names are compared without
// regard to case and sections of one name are one. In an entry, ';' outside double quotes starts a comment;
// the first '=' before any ',' ends the key; commas separate fields; blanks around a field do not count, but
// quoted text keeps its blanks ("" inside quotes is one quote, a quote ends at the end of the line); a
// backslash followed by nothing but blanks, backslashes or a comment up to the end of the line joins the
// next line (the blanks before it and at the start of the next line do not count), any other backslash is
// itself. Lines before the first section are passed over. %strkey% tokens in the keys and fields of every
// section but [Strings] take their values from [Strings] (keys without regard to case; a value of several
// fields is them joined by ','), %% is one percent sign, and a token that [Strings] lacks (a directory ID
// such as %12%) stays as written; a localized [Strings.xxxx] is not read.
class InfFile {
public:
    explicit InfFile(const std::string& text);

    // False when Windows would not open the file: a section line lacks its ']'. Such a file has no sections.
    bool Readable() const { return m_badLine == 0; }
    size_t BadLine() const { return m_badLine; }
    const std::vector<InfSection>& Sections() const { return m_sections; }
    // The section of that name (without regard to case), or null.
    const InfSection* Section(const std::string& name) const;
    // The first entry of the section with that key, without regard to case; as SetupFindFirstLine does, a
    // line of one field and no key is found by that field. Null when there is none.
    const InfEntry* Entry(const std::string& section, const std::string& key) const;

private:
    std::vector<InfSection> m_sections;
    size_t m_badLine = 0;
};

// Where the INF's source-disk sections put a file for an architecture ("x86" or "amd64"): its entry in
// [SourceDisksFiles.arch], else in [SourceDisksFiles] (file = diskid[,subdir]), names a disk found in
// [SourceDisksNames.arch], else in [SourceDisksNames] (diskid = desc,tagfile,unused,path); folder becomes the
// disk's path and the subfolder, below the INF's own folder (a disk's path "\x64" too: the INF's folder is
// the disk's root), its parts joined by one backslash ("" for the INF's own folder). False when the INF does
// not list the file, names a disk it does not list, or puts the file outside its own folder (a ".." or a
// drive).
bool SourceFolderOf(const InfFile& inf, const std::string& file, const std::string& architecture,
                    std::string& folder);

// Whether some key or field of the INF (its tokens put in) is the hardware ID, as a whole and without regard
// to case: "%Desc% = Install, USB\VID_1234&PID_5678&MI_00" names usb\vid_1234&pid_5678&mi_00, but not
// usb\vid_1234&pid_5678 nor, with "&REV_0100" inside it, the ID without the revision.
bool InfNamesId(const InfFile& inf, const std::string& lowered);
// Whether some key or field of the INF is the file name as a whole, or ends in it after a backslash
// ("%12%\qcusbser.sys"; a CopyFiles "@qcusbser.sys"), without regard to case.
bool InfNamesFile(const InfFile& inf, const std::string& lowered);

// The two looks of a search of the INF store. The first is LoweredTextSearch over the raw text, as it always
// was: a device ID (wholeIds[i]) held as a whole ID, any other text anywhere, comments too. The second adds,
// for a text the first did not hold, what the INF's values name once it is read: a device ID by InfNamesId,
// any other text (a driver file) by InfNamesFile.
//
// Reading an INF costs far more than sweeping it, so the second look reads only a file whose raw text gives
// reason, found in the same sweep as the first look's texts: for a device ID, a '%' right after a part of it
// that ends in '\', '&' or '_' ("usb\%", "usb\vid_12d1&pid_%": USB\%DeviceID%, USB\VID_12D1&PID_%PID%); for a
// file name, a '%' right before its extension ("%.sys": %DRIVERFILENAME%.sys). An ID or a file name that a
// token holds whole needs no second look: [Strings] spells it out, and the first look holds it there. Not
// served: a token that begins an ID (%Bus%\VID_...) or splits a number or a name elsewhere (PID_56%P%,
// qc%X%.sys), and a name whose extension is a token.
class InfSearch {
public:
    // wholeIds and wholeNames as LoweredTextSearch takes them, for the first look.
    explicit InfSearch(std::vector<std::string> texts, std::vector<bool> wholeIds = {},
                       std::vector<bool> wholeNames = {});
    // held[i]: the first look, exactly as LoweredTextSearch::Find sets it; added[i]: the second look found
    // texts[i] where the first did not (never where it did). Both are resized to the texts' count.
    void Find(const std::string& content, std::vector<bool>& held, std::vector<bool>& added) const;
    size_t Count() const { return m_texts.size(); }

private:
    std::vector<std::string> m_texts;
    std::vector<bool> m_wholeIds;
    std::vector<size_t> m_reasonFor; // for each reason text (after the texts in m_raw), the text it serves
    LoweredTextSearch m_raw;         // the texts, then the reasons: one sweep for both
};
