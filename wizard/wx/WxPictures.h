#pragma once

#include <wx/bitmap.h>
#include <wx/gdicmn.h>
#include <wx/panel.h>

/// The side picture of the wizard pages (bitmap 25001): HTML Help becoming Web Help. Drawn for
/// 161 by 313 pixels and scaled to size.
wxBitmap MakeSidePicture(const wxSize& size);
/// The module's icon (25005): a help page before a globe, nSize pixels square.
wxBitmap MakeModuleIcon(int nSize);

/// The progress window's banner: icon, title and caption on a shaded band with a dark edge.
class CWxBanner : public wxPanel
{
public:
    CWxBanner(wxWindow* pParent, const wxPoint& pos, const wxSize& size);
    void SetTexts(const wxString& strTitle, const wxString& strCaption);

private:
    void OnPaint(wxPaintEvent& event);

    wxBitmap m_bmpIcon;
    wxString m_strTitle;
    wxString m_strCaption;
};
