#include "tools/vsthost/text_util.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vsthost {

std::string formatFloat(double v)
{
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.9g", v);
  return buf;
}

std::string formatHex32(uint32_t v)
{
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(v));
  return buf;
}

std::string fourCC(int32_t v)
{
  std::string s;
  for (int shift = 24; shift >= 0; shift -= 8)
  {
    const char c = static_cast<char>((static_cast<uint32_t>(v) >> shift) & 0xFF);
    s += (c >= 32 && c < 127) ? c : '.';
  }
  return s;
}

std::string quote(const std::string& text)
{
  std::string out = "\"";
  for (unsigned char c : text)
  {
    switch (c)
    {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 32 || c == 127)
        {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\x%02X", c);
          out += buf;
        }
        else
        {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

bool parseInt(const std::string& text, int64_t* out)
{
  if (text.empty())
    return false;
  const char* s = text.c_str();
  bool negative = false;
  if (*s == '+' || *s == '-')
    negative = (*s++ == '-');
  int base = 10;
  if (s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
  {
    base = 16;
    s += 2;
  }
  if (*s == '\0' || *s == '+' || *s == '-' || std::isspace(static_cast<unsigned char>(*s)))
    return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long magnitude = std::strtoull(s, &end, base);
  if (errno != 0 || *end != '\0')
    return false;
  if (negative)
  {
    if (magnitude > 0x8000000000000000ull)
      return false;
    *out = static_cast<int64_t>(0 - magnitude);
  }
  else
  {
    if (magnitude > 0x7FFFFFFFFFFFFFFFull)
      return false;
    *out = static_cast<int64_t>(magnitude);
  }
  return true;
}

bool parseDouble(const std::string& text, double* out)
{
  if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
    return false;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (*end != '\0')
    return false;
  *out = v;
  return true;
}

bool tokenize(const std::string& line, std::vector<std::string>* tokens)
{
  tokens->clear();
  size_t i = 0;
  const size_t n = line.size();
  while (i < n)
  {
    while (i < n && std::isspace(static_cast<unsigned char>(line[i])))
      ++i;
    if (i >= n || line[i] == '#')
      break;
    std::string token;
    while (i < n && !std::isspace(static_cast<unsigned char>(line[i])))
    {
      if (line[i] != '"')
      {
        token += line[i++];
        continue;
      }
      ++i;  // opening quote; the quoted part joins whatever precedes it (str="a b")
      bool closed = false;
      while (i < n)
      {
        const char c = line[i++];
        if (c == '"')
        {
          closed = true;
          break;
        }
        if (c != '\\' || i >= n)
        {
          token += c;
          continue;
        }
        const char e = line[i++];
        if (e == 'n')
          token += '\n';
        else if (e == 't')
          token += '\t';
        else if (e == 'x' && i + 2 <= n)
        {
          token += static_cast<char>(std::strtol(line.substr(i, 2).c_str(), nullptr, 16));
          i += 2;
        }
        else
          token += e;
      }
      if (!closed)
        return false;
    }
    tokens->push_back(token);
  }
  return true;
}

std::vector<std::string> split(const std::string& text, char sep)
{
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;)
  {
    const size_t at = text.find(sep, start);
    parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos)
      break;
    start = at + 1;
  }
  return parts;
}

std::string fromBuffer(const char* buffer, size_t size)
{
  return std::string(buffer, strnlen(buffer, size));
}

}  // namespace vsthost
