#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "model/data_point.h"
#include "model/status.h"
#include "storage/text_encoding.h"

class CProject;
class CProgressSink;

// A text file read line by line, bound to the project it reads into, with the number and
// attribute helpers that the project reader and the raw data importer share.
//
// Lines may be of any length; a line ends at LF, and a CR before it is dropped, so files with
// CR LF and LF line ends read alike. A last line without a line end is still read. Memory use
// is bounded by the longest line.
class CTextScanner {
  public:
    explicit CTextScanner(CProject& project) : m_project(project) {}
    virtual ~CTextScanner();
    CTextScanner(const CTextScanner&) = delete;
    CTextScanner& operator=(const CTextScanner&) = delete;

    // Opens a regular file for reading; false for a missing file, no access, or anything that
    // is not a regular file (a directory, a FIFO, a device), with OpenError saying which.
    bool Open(const std::string& path);
    // Why the last Open failed: "cannot open 'PATH': REASON".
    const std::string& OpenError() const { return m_openStatus.Reason(); }
    // The same with its kind: NotFound for a missing file or folder, Refused for something that
    // is not a regular file, Io otherwise.
    const CStatus& OpenStatus() const { return m_openStatus; }
    // The number of the line last read, from 1.
    int64_t LineNumber() const { return m_lineNumber; }
    // Reads from text held in memory instead of a file (tests, piped input).
    void OpenText(std::string text, std::string fileName);
    void Close();

    // The next line without its line end; false at the end of the input.
    bool ReadString(std::string& line);
    // The same without a copy: the view holds until the next read.
    bool ReadLine(std::string_view& line);
    // From now on a CR alone ends a line too (files of old Macs). Off by default: the project
    // reader keeps a CR inside a line.
    void SetBareCrEndsLine(bool on) { m_bareCrEndsLine = on; }
    void SeekToBegin();
    // Reads the input as UTF-8 from now on: when its first bytes show UTF-16 (a byte order
    // mark) or Windows-1252, the whole input is read and converted in memory. Returns the
    // encoding found; the next read starts at the first line.
    ETextEncoding ReadAsUtf8();
    // While a file is read: reports the share of it read so far to `progress` (1 to 100, each
    // at most once, increasing), and once `stop` is set ends the input at the next chunk, as
    // if the file ended there; Stopped() then says so. Either may be null. Call after Open.
    void Watch(const std::atomic<bool>* stop, CProgressSink* progress);
    bool Stopped() const { return m_stopped; }
    // The name of the file with its extension, without its folder.
    const std::string& GetFileName() const { return m_fileName; }

    // atoi of the text, saturated at the 32-bit range; 0 for empty text or text of 400
    // characters or more.
    static int32_t ToInt(std::string_view text);
    // atof of the text; 0.0 under the same conditions as ToInt. Like all number text of the
    // core, this expects the "C" numeric locale (a decimal point), which programs keep.
    static double ToDouble(std::string_view text);
    static bool IsDateSeparator(char c) { return c == '.' || c == '/' || c == '-'; }
    static bool IsFieldSeparator(char c) { return c == ',' || c == ' '; }

    // The value of a key: the text between the first double quote at or after the first
    // occurrence of the key and the next double quote. A key at the very start of a line does
    // not count. Returns false when the key is absent; the value is empty when a quote is missing.
    static bool FindAttribute(std::string_view line, std::string_view key, std::string_view& value);
    static std::string GetStringAttribute(std::string_view line, std::string_view key);
    static int32_t GetIntAttribute(std::string_view line, std::string_view key);
    static double GetDoubleAttribute(std::string_view line, std::string_view key);

    // The three parts of a date text around its first two date separators (the first searched
    // from position 1). A part that would start beyond the text is empty.
    struct DateParts {
        std::string_view a, b, c;
    };
    static DateParts SplitDate(std::string_view text);
    static std::string_view Trim(std::string_view text);

  protected:
    CProject& m_project;
    int32_t m_dateStart = 0;
    int32_t m_dateEnd = 0;
    int32_t m_valueStart = 0;
    int32_t m_valueEnd = 0;

  private:
    bool Refill();
    bool ReadLineAnyEnd(std::string_view& line);

    void ReportShareRead();

    std::FILE* m_file = nullptr;
    int64_t m_fileSize = 0;
    int64_t m_bytesRead = 0;
    int32_t m_sharePosted = 0;
    const std::atomic<bool>* m_stop = nullptr;
    CProgressSink* m_progress = nullptr;
    bool m_stopped = false;
    std::string m_fileName;
    CStatus m_openStatus = CStatus::Ok();
    int64_t m_lineNumber = 0;
    std::string m_buffer;  // unread input
    size_t m_position = 0;
    bool m_atEnd = false;
    bool m_bareCrEndsLine = false;
};
