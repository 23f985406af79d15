// CString: the program's 8-bit string. Pure C++, no windows.h.
#include "framework/CString.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

int Sign(int n) { return (n > 0) - (n < 0); }

bool IsSpace(char ch) { return std::isspace(static_cast<unsigned char>(ch)) != 0; }

} // namespace

int CString::Compare(const char* psz) const
{
    return Sign(std::strcmp(m_str.c_str(), psz ? psz : ""));
}

int CString::CompareNoCase(const char* psz) const
{
    const unsigned char* a = reinterpret_cast<const unsigned char*>(m_str.c_str());
    const unsigned char* b = reinterpret_cast<const unsigned char*>(psz ? psz : "");
    for (;; ++a, ++b) {
        const int ca = std::tolower(*a);
        const int cb = std::tolower(*b);
        if (ca != cb || ca == 0)
            return Sign(ca - cb);
    }
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    const int nLength = GetLength();
    nFirst = std::clamp(nFirst, 0, nLength);
    nCount = std::clamp(nCount, 0, nLength - nFirst);
    return CString(m_str.substr(nFirst, nCount));
}

CString CString::Left(int nCount) const
{
    return Mid(0, nCount);
}

CString CString::Right(int nCount) const
{
    nCount = std::clamp(nCount, 0, GetLength());
    return Mid(GetLength() - nCount, nCount);
}

CString CString::SpanIncluding(const char* pszCharSet) const
{
    return Left(static_cast<int>(std::strspn(m_str.c_str(), pszCharSet)));
}

CString CString::SpanExcluding(const char* pszCharSet) const
{
    return Left(static_cast<int>(std::strcspn(m_str.c_str(), pszCharSet)));
}

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0 || nStart >= GetLength())
        return -1;
    const size_t pos = m_str.find(ch, nStart);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* pszSub, int nStart) const
{
    if (!pszSub || nStart < 0 || nStart > GetLength())
        return -1;
    const size_t pos = m_str.find(pszSub, nStart);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const
{
    const size_t pos = m_str.rfind(ch);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::FindOneOf(const char* pszCharSet) const
{
    const size_t pos = m_str.find_first_of(pszCharSet ? pszCharSet : "");
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Replace(char chOld, char chNew)
{
    int nCount = 0;
    for (char& ch : m_str) {
        if (ch == chOld) {
            ch = chNew;
            ++nCount;
        }
    }
    return nCount;
}

int CString::Replace(const char* pszOld, const char* pszNew)
{
    // An empty pattern would match everywhere: nothing to replace.
    if (!pszOld || !*pszOld)
        return 0;
    const std::string strOld(pszOld);
    const std::string strNew(pszNew ? pszNew : "");
    std::string result;
    int nCount = 0;
    size_t from = 0;
    for (size_t pos; (pos = m_str.find(strOld, from)) != std::string::npos; from = pos + strOld.size()) {
        result.append(m_str, from, pos - from);
        result += strNew;
        ++nCount;
    }
    if (nCount) {
        result.append(m_str, from, std::string::npos);
        m_str.swap(result);
    }
    return nCount;
}

int CString::Remove(char ch)
{
    const size_t before = m_str.size();
    m_str.erase(std::remove(m_str.begin(), m_str.end(), ch), m_str.end());
    return static_cast<int>(before - m_str.size());
}

int CString::Insert(int nIndex, char ch)
{
    const char sz[2] = {ch, 0};
    return ch ? Insert(nIndex, sz) : GetLength();
}

int CString::Insert(int nIndex, const char* psz)
{
    nIndex = std::clamp(nIndex, 0, GetLength());
    if (psz)
        m_str.insert(nIndex, psz);
    return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
    if (nIndex >= 0 && nIndex < GetLength() && nCount > 0)
        m_str.erase(nIndex, std::min(nCount, GetLength() - nIndex));
    return GetLength();
}

void CString::MakeUpper()
{
    for (char& ch : m_str)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
}

void CString::MakeLower()
{
    for (char& ch : m_str)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
}

void CString::MakeReverse()
{
    std::reverse(m_str.begin(), m_str.end());
}

void CString::TrimLeft()
{
    m_str.erase(m_str.begin(), std::find_if_not(m_str.begin(), m_str.end(), IsSpace));
}

void CString::TrimRight()
{
    m_str.erase(std::find_if_not(m_str.rbegin(), m_str.rend(), IsSpace).base(), m_str.end());
}

void CString::TrimLeft(char chTarget)
{
    m_str.erase(0, m_str.find_first_not_of(chTarget));
}

void CString::TrimRight(char chTarget)
{
    const size_t last = m_str.find_last_not_of(chTarget);
    m_str.erase(last == std::string::npos ? 0 : last + 1);
}

void CString::Format(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(const char* pszFormat, va_list args)
{
    // Measure first, then print into a buffer of exactly that size: no truncation.
    va_list measure;
    va_copy(measure, args);
    const int nNeeded = std::vsnprintf(nullptr, 0, pszFormat, measure);
    va_end(measure);
    if (nNeeded < 0) {
        m_str.clear();
        return;
    }
    std::string result(nNeeded, '\0');
    std::vsnprintf(&result[0], nNeeded + 1, pszFormat, args);
    m_str.swap(result);
}

char* CString::GetBuffer(int nMinBufLength)
{
    if (nMinBufLength > GetLength())
        m_str.resize(nMinBufLength, '\0');
    return &m_str[0];
}

char* CString::GetBufferSetLength(int nNewLength)
{
    m_str.resize(nNewLength > 0 ? nNewLength : 0, '\0');
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = static_cast<int>(std::strlen(m_str.c_str()));
    m_str.resize(std::min(nNewLength, GetLength()));
}

CString operator+(const CString& a, const CString& b) { CString r(a); r += b; return r; }
CString operator+(const CString& a, const char* b) { CString r(a); r += b; return r; }
CString operator+(const char* a, const CString& b) { CString r(a); r += b; return r; }
CString operator+(const CString& a, char b) { CString r(a); r += b; return r; }
CString operator+(char a, const CString& b) { CString r(a); r += b; return r; }
