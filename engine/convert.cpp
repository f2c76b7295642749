#include <cstring>

#include "engine.h"
#include "platform.h"

namespace {

// A source file larger than this cannot have its working buffer (size + 500 bytes) described
// by the 32-bit size the decoder takes; it is reported like any buffer that cannot be obtained.
constexpr uint64_t MAX_SOURCE_SIZE = UINT32_MAX - WORKING_BUFFER_SLACK;

long ReadMemory(void* context, uint8_t* into, size_t count) {
    auto* memory = static_cast<MemorySource*>(context);
    size_t left = memory->size - memory->position;
    size_t taken = count < left ? count : left;
    if (taken != 0) {
        std::memcpy(into, memory->bytes + memory->position, taken);
    }
    memory->position += taken;
    return static_cast<long>(taken);
}

bool RewindMemory(void* context) {
    static_cast<MemorySource*>(context)->position = 0;
    return true;
}

long ReadFileSource(void* context, uint8_t* into, size_t count) {
    auto* source = static_cast<FileSource*>(context);
    uint64_t left = source->size - source->position;
    if (count > left) {
        count = static_cast<size_t>(left);
    }
    if (count == 0) {
        return 0;
    }
    long got = ReadFromFile(source->file, into, count);
    if (got > 0) {
        source->position += static_cast<uint64_t>(got);
    }
    return got;
}

bool RewindFileSource(void* context) {
    auto* source = static_cast<FileSource*>(context);
    source->position = 0;
    return RewindFile(source->file);
}

// Decoding, from the source to the decoded stream, which takes over the working buffer.
ConversionResult DecodeToStream(ByteSource* source, uint32_t sourceSize, LineStream* decoded) {
    ByteBuffer text{};
    if (!ObtainWorkingBuffer(&text, sourceSize)) {
        return RESULT_NO_MEMORY;
    }
    DecodeMode mode;
    ConversionResult result = DecodeEdlBytes(source, &text, &mode);
    if (result == RESULT_CONVERTED) {
        RepairDmRuns(text.bytes, text.length);
        WriteDecodedStream(&text, decoded);
    }
    BufferRelease(&text);
    return result;
}

// Recognition, banner and line rewriting, from the decoded stream to the output text, and the
// export when `cmxOptions` asks for it. The decoded stream is released on every path.
ConversionResult ComposeOutput(LineStream* decoded, const char* fileNameText, const char* stamp,
                               uint32_t options, LineState* state, ByteBuffer* out,
                               LinePiece* piece, const CmxExportOptions* cmxOptions,
                               ByteBuffer* cmxOut, CmxReport* cmxReport) {
    size_t eventStart = 0;
    if (DetectCmx(decoded, piece)) {
        StreamRelease(decoded);
        return RESULT_CMX_FORMAT;
    }
    if (!FindEventStart(decoded, piece, &eventStart)) {
        StreamRelease(decoded);
        return RESULT_UNKNOWN_FORMAT;
    }
    HeaderFields fields;
    ExtractHeaderFields(decoded, eventStart, piece, &fields);
    LineStream rewrite{};
    BuildRewriteStream(decoded, eventStart, piece, &rewrite);
    CmxExport exporting{};
    CmxExport* cmx = cmxOptions != nullptr ? &exporting : nullptr;
    bool composed = ComposeBanner(out, fields, fileNameText, stamp) &&
                    (cmx == nullptr || StartCmxExport(cmx, *cmxOptions, rewrite, fields,
                                                      fileNameText, cmxOut, cmxReport)) &&
                    RewriteLines(&rewrite, out, options, state, piece, cmx) &&
                    (cmx == nullptr || FinishCmxExport(cmx));
    ReleaseCmxExport(&exporting);
    StreamRelease(&rewrite);
    return composed ? RESULT_CONVERTED : RESULT_NO_MEMORY;
}

}  // namespace

ByteSource MakeMemorySource(MemorySource* memory) {
    memory->position = 0;
    return ByteSource{memory, ReadMemory, RewindMemory};
}

ByteSource MakeFileSource(FileSource* file) {
    file->position = 0;
    return ByteSource{file, ReadFileSource, RewindFileSource};
}

ConversionResult ConvertEdlSource(ByteSource* source, uint32_t sourceSize, const char* fileNameText,
                                  const char* stamp, uint32_t options, LineState* state,
                                  ByteBuffer* out, const CmxExportOptions* cmxOptions,
                                  ByteBuffer* cmxOut, CmxReport* cmxReport) {
    *out = ByteBuffer{};
    CmxReport unused{};
    if (cmxOptions != nullptr) {
        *cmxOut = ByteBuffer{};
        cmxReport = cmxReport != nullptr ? cmxReport : &unused;
        *cmxReport = CmxReport{};
    }
    LineStream decoded{};
    ConversionResult result = DecodeToStream(source, sourceSize, &decoded);
    if (result != RESULT_CONVERTED) {
        return result;
    }
    auto* piece = static_cast<LinePiece*>(EngineAlloc(sizeof(LinePiece)));
    if (piece == nullptr || !ObtainOutputText(out, decoded.data.length)) {
        EngineFree(piece);
        StreamRelease(&decoded);
        BufferRelease(out);
        return RESULT_NO_MEMORY;
    }
    result = ComposeOutput(&decoded, fileNameText, stamp, options, state, out, piece, cmxOptions,
                           cmxOut, cmxReport);
    EngineFree(piece);
    if (result != RESULT_CONVERTED) {
        BufferRelease(out);
        if (cmxOptions != nullptr) {
            BufferRelease(cmxOut);
            *cmxReport = CmxReport{};
        }
    }
    return result;
}

ConversionResult ConvertEdlFile(const ConversionRequest& request, LineState* state,
                                CmxReport* report) {
    CmxReport unused{};
    report = report != nullptr ? report : &unused;
    *report = CmxReport{};
    uint64_t size = 0;
    PlatformFile* file = OpenFileForReading(request.sourcePath, &size);
    if (file == nullptr) {
        return RESULT_OPEN_FAILED;
    }
    if (size > MAX_SOURCE_SIZE) {
        CloseFile(file);
        return RESULT_NO_MEMORY;
    }
    char fileNameText[FILE_NAME_TEXT_SIZE];
    ConvertToCodePage932(request.displayName, fileNameText, sizeof fileNameText);
    char stamp[STAMP_TEXT_SIZE];
    FormatStamp(request.stampTime, stamp, sizeof stamp);

    bool exportCmx = (request.options & OPTION_EXPORT_CMX) != 0;
    CmxExportOptions cmxOptions{request.cmxFramesPerSecond,
                                (request.options & OPTION_CMX_DROP_FRAME) != 0,
                                (request.options & OPTION_DELETE_INTERNAL_DATA) != 0};
    FileSource fileSource{file, size, 0};
    ByteSource source = MakeFileSource(&fileSource);
    ByteBuffer out{};
    ByteBuffer cmxOut{};
    ConversionResult result =
        ConvertEdlSource(&source, static_cast<uint32_t>(size), fileNameText, stamp, request.options,
                         state, &out, exportCmx ? &cmxOptions : nullptr, &cmxOut, report);
    CloseFile(file);
    if (result == RESULT_CONVERTED) {
        result = WriteConvertedFiles(out, exportCmx ? &cmxOut : nullptr, request.outputFolder,
                                     request.displayName);
        BufferRelease(&out);
        BufferRelease(&cmxOut);
    }
    if (result != RESULT_CONVERTED) {
        *report = CmxReport{};
    }
    return result;
}
