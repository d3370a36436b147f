#include "text_record.h"

namespace vanter::images::detail {

RecordParser::RecordParser(ByteSource& source, std::uint32_t offset, MemoryImage& memory,
                           const RecordLayout& layout)
    : lines_(source), sink_(memory, layout.format, offset, source.name()), layout_(layout) {}

LoadNotes RecordParser::run() {
    std::string_view line;
    while (lines_.next(line)) {
        if (line.empty()) {
            continue;
        }
        unsigned sum = 0;
        const std::size_t size = decode(line, sum);
        if (!record(line, size, sum)) {
            break;
        }
    }
    if (!ended_) {
        sink_.warn(0, std::string(layout_.missingEnd));
    }
    sink_.finish();
    return sink_.takeNotes();
}

void RecordParser::fail(LoadFailure failure, const std::string& reason) const {
    throw ImageError(failure, sink_.file(), lines_.lineNumber(), reason);
}

std::size_t RecordParser::decode(std::string_view line, unsigned& sum) {
    if (line.front() != layout_.start) {
        fail(LoadFailure::malformedRecord, "a record starts with " + describeChar(layout_.start) +
                                               ", this line with " + describeChar(line.front()));
    }
    if (line.size() < layout_.headLength) {
        fail(LoadFailure::malformedRecord, std::string(layout_.headMissing));
    }
    const std::string_view digits = line.substr(layout_.headLength);
    if (digits.size() % 2 != 0) {
        fail(LoadFailure::malformedRecord,
             "odd number of hexadecimal digits (" + std::to_string(digits.size()) + ")");
    }
    const std::size_t size = digits.size() / 2;
    if (size < layout_.fewestBytes) {
        fail(LoadFailure::malformedRecord, layout_.tooShort(size));
    }
    const std::size_t most = 255 + layout_.overhead;
    if (size > most) {
        fail(LoadFailure::malformedRecord, "record too long: " + std::to_string(size) +
                                               " bytes, at most " + std::to_string(most) +
                                               " possible");
    }
    sum = 0;
    const std::size_t bad = decodeHex(digits, bytes_.data(), sum);
    if (bad != digits.size()) {
        fail(LoadFailure::malformedRecord, describeChar(digits[bad]) + " at column " +
                                               std::to_string(bad + layout_.headLength + 1) +
                                               " is not a hexadecimal digit");
    }
    const std::size_t count = bytes_[0];
    if (size != count + layout_.overhead) {
        fail(LoadFailure::malformedRecord,
             "the byte count says " + std::to_string(count) + " " + std::string(layout_.counted) +
                 ", the record holds " + std::to_string(size - layout_.overhead));
    }
    return size;
}

} // namespace vanter::images::detail
