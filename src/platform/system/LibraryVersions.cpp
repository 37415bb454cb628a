#include "LibraryVersions.h"

#include <curl/curl.h>
#include <expat.h>
#include <unicode/uversion.h>
#include <zip.h>

namespace pennolux {

std::vector<LibraryVersion> platformLibraryVersions()
{
    // Each asks the shared library itself, so the answer is the version the
    // program runs with, not the one it was built against.
    const curl_version_info_data* curl = curl_version_info(CURLVERSION_NOW);
    UVersionInfo icuVersion;
    u_getVersion(icuVersion);
    char icuText[U_MAX_VERSION_STRING_LENGTH] = {};
    u_versionToString(icuVersion, icuText);
    const XML_Expat_Version expat = XML_ExpatVersionInfo();
    return {
        {QStringLiteral("Qt"), QString::fromLatin1(qVersion())},
        {QStringLiteral("libcurl"), QString::fromLatin1(curl && curl->version ? curl->version : "unknown")},
        {QStringLiteral("ICU"), QString::fromLatin1(icuText)},
        {QStringLiteral("libzip"), QString::fromLatin1(zip_libzip_version())},
        {QStringLiteral("Expat"), QStringLiteral("%1.%2.%3").arg(expat.major).arg(expat.minor).arg(expat.micro)},
    };
}

} // namespace pennolux
