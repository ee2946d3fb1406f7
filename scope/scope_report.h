// Content and page arrangement of the scope printout, free of any painting:
// which lines, empty lines and the panel image the report holds, in which
// font size, and on which page each element lands.
#pragma once

#include <string>
#include <vector>

namespace scope {

inline constexpr const char* kReportTitle = "Scope Screen Shot";
inline constexpr const char* kReportFont = "Arial";
inline constexpr int kReportTitleSize = 20;
inline constexpr int kReportBodySize = 10;
inline constexpr const char* kReportImageCaption = "Panel";
// The comment box's text is taken up to this many bytes (whole characters).
inline constexpr size_t kMaxReportComment = 1023;

struct ReportElement {
    enum class Kind { Line, EmptyLine, Image };
    Kind kind = Kind::Line;
    std::string text; // Line: the text (a comment may span several lines); Image: the caption
    int pointSize = kReportBodySize;
};

// The report in order: title, program line, the sensor identification when
// there is one, an empty line, the comment block when there is a comment,
// then the panel image captioned "Panel".
std::vector<ReportElement> ScopeReportContent(const std::string& programTitle,
                                              const std::string& sensorId,
                                              const std::string& comment);

// At most `maxBytes` bytes of UTF-8 text, never cutting a character apart.
std::string TruncateUtf8(const std::string& text, size_t maxBytes);

// Page number text of the page header: "page 1 of 2".
std::string PageNofM(int page, int pages);

// Places elements of the given heights one below the other on pages of
// `pageHeight`; an element that does not fit below the previous ones starts
// a new page (an element taller than a page gets a page of its own). Returns
// the page (from 0) of each element.
std::vector<int> PlaceOnPages(const std::vector<double>& heights, double pageHeight);

} // namespace scope
