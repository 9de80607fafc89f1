#include "WxPictures.h"

#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>
#include <wx/graphics.h>
#include <wx/settings.h>

#include <memory>

namespace
{
const wxColour kNavy(20, 45, 105);
const wxColour kBlue(101, 141, 190);

void DrawHelpDocument(wxGraphicsContext& gc, double x, double y, double cx, double cy)
{
    const double fold = cx * 0.3;
    wxGraphicsPath page = gc.CreatePath();
    page.MoveToPoint(x, y);
    page.AddLineToPoint(x + cx - fold, y);
    page.AddLineToPoint(x + cx, y + fold);
    page.AddLineToPoint(x + cx, y + cy);
    page.AddLineToPoint(x, y + cy);
    page.CloseSubpath();
    gc.SetPen(wxPen(wxColour(90, 100, 120), 1));
    gc.SetBrush(wxBrush(*wxWHITE));
    gc.DrawPath(page);
    gc.SetBrush(wxBrush(wxColour(215, 222, 235)));
    wxGraphicsPath corner = gc.CreatePath();
    corner.MoveToPoint(x + cx - fold, y);
    corner.AddLineToPoint(x + cx - fold, y + fold);
    corner.AddLineToPoint(x + cx, y + fold);
    corner.CloseSubpath();
    gc.DrawPath(corner);
    gc.SetPen(wxPen(wxColour(160, 170, 190), 1));
    for (double ly = y + cy * 0.55; ly < y + cy - 3; ly += 4)
        gc.StrokeLine(x + 4, ly, x + cx - 4, ly);
    // The question mark of a help topic.
    const double r = cx * 0.2;
    gc.SetPen(*wxTRANSPARENT_PEN);
    gc.SetBrush(wxBrush(wxColour(40, 100, 200)));
    gc.DrawEllipse(x + cx * 0.35 - r, y + cy * 0.32 - r, 2 * r, 2 * r);
    gc.SetFont(wxFont(wxFontInfo(r * 1.4).Bold().Family(wxFONTFAMILY_SWISS)), *wxWHITE);
    double tw, th;
    gc.GetTextExtent("?", &tw, &th);
    gc.DrawText("?", x + cx * 0.35 - tw / 2, y + cy * 0.32 - th / 2);
}

void DrawGlobe(wxGraphicsContext& gc, double cx, double cy, double r)
{
    gc.SetPen(wxPen(wxColour(25, 60, 130), 1.5));
    gc.SetBrush(gc.CreateRadialGradientBrush(cx - r / 3, cy - r / 3, cx, cy, r * 1.2, wxColour(150, 205, 250),
                                             wxColour(30, 85, 175)));
    gc.DrawEllipse(cx - r, cy - r, 2 * r, 2 * r);
    // Land masses as soft blobs.
    gc.SetPen(*wxTRANSPARENT_PEN);
    gc.SetBrush(wxBrush(wxColour(70, 160, 80)));
    wxGraphicsPath land = gc.CreatePath();
    land.MoveToPoint(cx - r * 0.6, cy - r * 0.5);
    land.AddCurveToPoint(cx - r * 0.1, cy - r * 0.8, cx + r * 0.1, cy - r * 0.2, cx - r * 0.2, cy + r * 0.1);
    land.AddCurveToPoint(cx - r * 0.4, cy + r * 0.4, cx - r * 0.8, cy, cx - r * 0.6, cy - r * 0.5);
    land.MoveToPoint(cx + r * 0.2, cy + r * 0.2);
    land.AddCurveToPoint(cx + r * 0.7, cy + r * 0.05, cx + r * 0.75, cy + r * 0.5, cx + r * 0.35,
                         cy + r * 0.75);
    land.AddCurveToPoint(cx + r * 0.1, cy + r * 0.6, cx, cy + r * 0.4, cx + r * 0.2, cy + r * 0.2);
    gc.FillPath(land);
    // Meridians and parallels.
    gc.SetPen(wxPen(wxColour(255, 255, 255, 150), 1));
    gc.SetBrush(*wxTRANSPARENT_BRUSH);
    gc.DrawEllipse(cx - r * 0.45, cy - r, r * 0.9, 2 * r);
    gc.StrokeLine(cx, cy - r, cx, cy + r);
    gc.StrokeLine(cx - r, cy, cx + r, cy);
    gc.StrokeLine(cx - r * 0.87, cy - r * 0.5, cx + r * 0.87, cy - r * 0.5);
    gc.StrokeLine(cx - r * 0.87, cy + r * 0.5, cx + r * 0.87, cy + r * 0.5);
}

void DrawBrowserWindow(wxGraphicsContext& gc, double x, double y, double cx, double cy)
{
    gc.SetPen(wxPen(wxColour(50, 60, 80), 1));
    gc.SetBrush(wxBrush(*wxWHITE));
    gc.DrawRoundedRectangle(x, y, cx, cy, 2);
    gc.SetBrush(wxBrush(wxColour(60, 110, 190)));
    gc.DrawRectangle(x, y, cx, cy * 0.22);
    gc.SetBrush(wxBrush(wxColour(225, 232, 245)));
    gc.SetPen(*wxTRANSPARENT_PEN);
    gc.DrawRectangle(x + 1, y + cy * 0.22 + 1, cx * 0.3, cy * 0.78 - 2);
    gc.SetFont(wxFont(wxFontInfo(cy * 0.38).Bold().Family(wxFONTFAMILY_SWISS)), wxColour(40, 100, 200));
    double tw, th;
    gc.GetTextExtent("?", &tw, &th);
    gc.DrawText("?", x + cx * 0.65 - tw / 2, y + cy * 0.6 - th / 2);
}

void DrawCentredText(wxGraphicsContext& gc, const wxString& str, double cx, double y)
{
    double tw, th;
    gc.GetTextExtent(str, &tw, &th);
    gc.DrawText(str, cx - tw / 2, y);
}

void DrawDownArrow(wxGraphicsContext& gc, double cx, double top, double bottom)
{
    const double shaft = 7, head = 19, headLen = 18;
    wxGraphicsPath arrow = gc.CreatePath();
    arrow.MoveToPoint(cx - shaft, top);
    arrow.AddLineToPoint(cx + shaft, top);
    arrow.AddLineToPoint(cx + shaft, bottom - headLen);
    arrow.AddLineToPoint(cx + head, bottom - headLen);
    arrow.AddLineToPoint(cx, bottom);
    arrow.AddLineToPoint(cx - head, bottom - headLen);
    arrow.AddLineToPoint(cx - shaft, bottom - headLen);
    arrow.CloseSubpath();
    gc.SetPen(wxPen(wxColour(30, 70, 140), 1));
    gc.SetBrush(gc.CreateLinearGradientBrush(cx - head, 0, cx + head, 0, wxColour(120, 170, 230),
                                             wxColour(40, 90, 170)));
    gc.DrawPath(arrow);
}
} // namespace

wxBitmap MakeSidePicture(const wxSize& size)
{
    const int cx = std::max(size.x, 1), cy = std::max(size.y, 1);
    wxBitmap bmp(cx, cy, 24);
    wxMemoryDC dc(bmp);
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
    if (!gc)
        return bmp;
    gc->Scale(cx / 161.0, cy / 313.0);

    gc->SetPen(*wxTRANSPARENT_PEN);
    gc->SetBrush(
        gc->CreateLinearGradientBrush(0, 0, 0, 313, wxColour(255, 255, 255), wxColour(178, 200, 230)));
    gc->DrawRectangle(0, 0, 161, 313);

    gc->SetFont(wxFont(wxFontInfo(15).Bold().Family(wxFONTFAMILY_SWISS)), kNavy);
    DrawCentredText(*gc, "HTML Help", 80.5, 12);
    DrawHelpDocument(*gc, 24, 44, 30, 38);
    DrawHelpDocument(*gc, 65, 40, 30, 38);
    DrawHelpDocument(*gc, 106, 44, 30, 38);

    DrawDownArrow(*gc, 80.5, 92, 142);

    DrawGlobe(*gc, 80.5, 196, 40);
    DrawBrowserWindow(*gc, 8, 166, 40, 30);
    DrawBrowserWindow(*gc, 112, 204, 40, 30);

    gc->SetFont(wxFont(wxFontInfo(16).Bold().Family(wxFONTFAMILY_SWISS)), kNavy);
    DrawCentredText(*gc, "Web Help", 80.5, 250);
    gc->SetFont(wxFont(wxFontInfo(8).Family(wxFONTFAMILY_SWISS)), kNavy);
    DrawCentredText(*gc, "(browser-based Help)", 80.5, 280);

    gc.reset();
    dc.SelectObject(wxNullBitmap);
    return bmp;
}

wxBitmap MakeModuleIcon(int nSize)
{
    wxImage img(nSize, nSize);
    img.InitAlpha();
    unsigned char* pAlpha = img.GetAlpha();
    std::fill(pAlpha, pAlpha + nSize * nSize, 0);
    wxBitmap bmp(img);
    wxMemoryDC dc(bmp);
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
    if (gc)
    {
        gc->Scale(nSize / 32.0, nSize / 32.0);
        DrawHelpDocument(*gc, 2, 1, 20, 26);
        DrawGlobe(*gc, 21, 21, 10);
        gc.reset();
    }
    dc.SelectObject(wxNullBitmap);
    return bmp;
}

CWxBanner::CWxBanner(wxWindow* pParent, const wxPoint& pos, const wxSize& size)
    : wxPanel(pParent, wxID_ANY, pos, size, wxBORDER_NONE), m_bmpIcon(MakeModuleIcon(32))
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CWxBanner::OnPaint, this);
}

void CWxBanner::SetTexts(const wxString& strTitle, const wxString& strCaption)
{
    m_strTitle = strTitle;
    m_strCaption = strCaption;
    Refresh();
}

void CWxBanner::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(this);
    const wxSize size = GetClientSize();
    dc.GradientFillLinear(wxRect(size), wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE), kBlue, wxEAST);
    dc.SetPen(*wxBLACK_PEN);
    dc.DrawLine(0, size.y - 1, size.x, size.y - 1);

    const int nMargin = FromDIP(8);
    const int nIconTop = std::max(0, (size.y - m_bmpIcon.GetHeight()) / 2);
    dc.DrawBitmap(m_bmpIcon, nMargin, nIconTop, true);
    const int nTextLeft = nMargin * 2 + m_bmpIcon.GetWidth();

    wxFont font = GetFont();
    dc.SetTextForeground(*wxBLACK);
    dc.SetFont(font.Bold());
    const int nTitleHeight = dc.GetTextExtent(m_strTitle).y;
    dc.SetFont(font);
    const int nCaptionHeight = dc.GetTextExtent(m_strCaption).y;
    int y = std::max(0, (size.y - nTitleHeight - nCaptionHeight - 2) / 2);
    dc.SetFont(font.Bold());
    dc.DrawText(m_strTitle, nTextLeft, y);
    dc.SetFont(font);
    dc.DrawText(m_strCaption, nTextLeft, y + nTitleHeight + 2);
}
