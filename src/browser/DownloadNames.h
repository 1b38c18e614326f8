#pragma once
// The name a download is saved under. Everything in it comes from the server or the page,
// so the rule only ever yields a plain name inside the download folder: no separator, no
// leading dot, nothing Windows or a file manager would refuse or hide, 255 bytes at most
// with room left for " (N)" and ".part".
#include <string>
#include <string_view>

namespace vorlane::browser {

// The name before conflicts: from ContentDisposition (RFC 6266: filename* with UTF-8 or
// another charset first, then filename; bytes that are not UTF-8 read as GB18030), else
// the last part of Url's path (percent-decoded), else its host, else "下载". Made safe by
// the Windows file-name rule and given an extension from MimeType when it has none.
std::string DownloadFileName(std::string_view ContentDisposition, std::string_view Url, std::string_view MimeType);

// The filename a Content-Disposition value names, decoded to UTF-8; empty when none.
std::string ContentDispositionFileName(std::string_view Value);

// ".zip" for "application/zip"…; empty for types without a usual extension.
std::string ExtensionForMimeType(std::string_view MimeType);

}  // namespace vorlane::browser
