#pragma once

#include <QString>
#include <optional>

namespace pennolux {

// scheme + "://" + serviceBase + path, an address on the maker's web site.
// Only a well-formed "http" or "https" address whose authority is exactly
// serviceBase (a host and an optional port) and whose path is exactly path
// comes back: a base carrying a user, a path, a query, a fragment or a
// scheme of its own, or a scheme other than those two, gives nullopt.
std::optional<QString> serviceWebAddress(const QString& scheme, const QString& serviceBase, const QString& path);

// The host of serviceBase without its port: "www.zantoph.example:8080" ->
// "www.zantoph.example"; empty when serviceBase is no host.
QString serviceHostName(const QString& serviceBase);

} // namespace pennolux
