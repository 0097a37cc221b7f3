#include "commandframe.h"

namespace frame {

uchar checksum(const uchar *codeAndParams)
{
    uint sum = 0;
    for (int i = 0; i < ChecksumSpan; ++i)
        sum += codeAndParams[i];
    return uchar(~sum & 0xFF);
}

CommandFrame build(uchar code, const Params &params)
{
    CommandFrame f{};
    f[ReportIdPos] = ReportId;
    f[CodePos] = code;
    for (int i = 0; i < ParamCount; ++i)
        f[FirstParamPos + i] = params[i];
    f[ChecksumPos] = checksum(&f[CodePos]);
    return f;
}

} // namespace frame
