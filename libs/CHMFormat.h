#pragma once

#include <string>
#include <string_view>

struct CCHMSystemInfo;

/// Reads the #SYSTEM record: title, sitemap names, default topic and LCID. Records whose length
/// runs past the end are ignored with everything after them. False when the record is shorter
/// than its version field.
bool CHM_ParseSystemRecord(std::string_view svRecord, CCHMSystemInfo& info);

/// Names the compiler keeps for itself: "/#…", "/$…" and "::…".
bool CHM_IsInternalName(std::string_view svName);

/// ArchivePath_Rooted, under the name the reader's callers know.
std::string CHM_NormalizeName(std::string_view svName);

/// CHM_NormalizeName(svName) into strOut, reusing its room: a lookup allocates nothing.
void CHM_NormalizeNameInto(std::string_view svName, std::string& strOut);

/// Whether CHM_NormalizeName(svName), lower-cased by CHM_LowerName when bLower, is svNormalized;
/// compared without making it.
bool CHM_IsNormalizedName(std::string_view svName, std::string_view svNormalized, bool bLower);

/// ASCII letters lower-cased; other bytes (UTF-8 sequences) unchanged.
std::string CHM_LowerName(std::string_view svName);

/// ArchivePath_SafeRelative, under the name the reader's callers know.
bool CHM_SafeRelativePath(std::string_view svName, std::string& strRelative);
