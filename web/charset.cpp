#include "web/charset.h"

#include "platform/stream/text_stream.h"
#include "web/recode.h"

ByteSet RecodeBytes(const ByteSet& data, std::string_view fromCharset, std::string_view toCharset,
                    std::optional<int> skipBytes) {
  if (data.empty()) return {};
  TextStream stream;
  stream.SetType(TextStream::kBinary);
  stream.Open();
  stream.Write(data);
  stream.SetPosition(0);
  stream.SetType(TextStream::kText);
  // A charset the stream cannot take would leave nothing readable; the page is better passed
  // on as it came, so that its ASCII markup still parses.
  if (!stream.SetCharset(fromCharset)) return data;
  Text text = stream.ReadText();
  stream.Close();
  stream.Open();
  if (!stream.SetCharset(toCharset)) return data;
  stream.WriteText(text);
  stream.SetPosition(0);
  stream.SetType(TextStream::kBinary);
  if (skipBytes) stream.SetPosition(*skipBytes);
  return stream.Read();
}

ByteSet ConvertCharset(const ByteSet& data, Text* fromCharset, Text* toCharset,
                       std::optional<int> skipBytes) {
  Text omittedFrom;
  Text omittedTo;
  Text& from = fromCharset != nullptr ? *fromCharset : omittedFrom;
  Text& to = toCharset != nullptr ? *toCharset : omittedTo;
  if (from.empty()) from = "UTF-8";
  if (to.empty()) to = "GBK";
  // No COM apartment is needed around the stream here: it is a plain object of this thread.
  return RecodeBytes(data, from, to, skipBytes);
}
