#include "scope/scope_report.h"

namespace scope {

std::vector<ReportElement> ScopeReportContent(const std::string& programTitle,
                                              const std::string& sensorId,
                                              const std::string& comment) {
    using Kind = ReportElement::Kind;
    std::vector<ReportElement> r;
    r.push_back({Kind::Line, kReportTitle, kReportTitleSize});
    r.push_back({Kind::Line, programTitle, kReportBodySize});
    if (!sensorId.empty()) {
        r.push_back({Kind::Line, "PANEL ID: " + sensorId, kReportBodySize});
    }
    r.push_back({Kind::EmptyLine, "", kReportBodySize});
    const std::string text = TruncateUtf8(comment, kMaxReportComment);
    if (!text.empty()) {
        r.push_back({Kind::Line, "COMMENT:", kReportBodySize});
        r.push_back({Kind::Line, text, kReportBodySize});
        r.push_back({Kind::EmptyLine, "", kReportBodySize});
    }
    r.push_back({Kind::Image, kReportImageCaption, kReportBodySize});
    return r;
}

std::string TruncateUtf8(const std::string& text, size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    size_t end = maxBytes;
    // Step back over continuation bytes (10xxxxxx) to the start of the
    // character that would be cut, and end before it.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end);
}

std::string PageNofM(int page, int pages) {
    return "page " + std::to_string(page) + " of " + std::to_string(pages);
}

std::vector<int> PlaceOnPages(const std::vector<double>& heights, double pageHeight) {
    std::vector<int> pages;
    pages.reserve(heights.size());
    int page = 0;
    double used = 0;
    for (double h : heights) {
        if (used > 0 && used + h > pageHeight) {
            ++page;
            used = 0;
        }
        pages.push_back(page);
        used += h;
    }
    return pages;
}

} // namespace scope
