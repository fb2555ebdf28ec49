// Basic types, result codes and enumerations shared by the plug-in framework and the host.
#pragma once

#include <cstdint>

#define AAX_CALLBACK

using AAX_Result = int32_t;
using AAX_CTypeID = uint32_t;
using AAX_CParamID = const char*;
using AAX_CFieldIndex = int32_t;
using AAX_CSampleRate = float;
using AAX_CBoolean = uint8_t;
using AAX_CSelector = uint32_t;
using AAX_CProcPtrID = uint32_t;
using AAX_CPropertyValue = int32_t;
using AAX_CPointerPropertyValue = const void*;
using AAX_CTransportCounter = int64_t;

// Four-character code as a 32-bit integer whose most significant byte is the first character.
constexpr AAX_CTypeID AAX_FourCC(const char (&code)[5]) noexcept
{
    return (AAX_CTypeID(uint8_t(code[0])) << 24) | (AAX_CTypeID(uint8_t(code[1])) << 16) |
           (AAX_CTypeID(uint8_t(code[2])) << 8) | AAX_CTypeID(uint8_t(code[3]));
}

// ---- Result codes --------------------------------------------------------------------------
enum AAX_EError : int32_t
{
    AAX_SUCCESS = 0,
    AAX_ERROR_INVALID_PARAMETER_ID = -20001,
    AAX_ERROR_INVALID_STRING_CONVERSION = -20002,
    AAX_ERROR_INVALID_METER_INDEX = -20003,
    AAX_ERROR_NULL_OBJECT = -20004,
    AAX_ERROR_OLDER_VERSION = -20005,
    AAX_ERROR_INVALID_CHUNK_INDEX = -20006,
    AAX_ERROR_INVALID_CHUNK_ID = -20007,
    AAX_ERROR_INCORRECT_CHUNK_SIZE = -20008,
    AAX_ERROR_UNIMPLEMENTED = -20009,
    AAX_ERROR_INVALID_PARAMETER_INDEX = -20010,
    AAX_ERROR_NOT_INITIALIZED = -20011,
    AAX_ERROR_ACF_ERROR = -20012,
    AAX_ERROR_INVALID_METER_TYPE = -20013,
    AAX_ERROR_CONTEXT_ALREADY_HAS_METERS = -20014,
    AAX_ERROR_NULL_COMPONENT = -20015,
    AAX_ERROR_PORT_ID_OUT_OF_RANGE = -20016,
    AAX_ERROR_FIELD_TYPE_DOES_NOT_SUPPORT_DIRECT_ACCESS = -20017,
    AAX_ERROR_DIRECT_ACCESS_OUT_OF_BOUNDS = -20018,
    AAX_ERROR_FIFO_FULL = -20019,
    AAX_ERROR_INITIALIZING_PACKET_STREAM_THREAD = -20020,
    AAX_ERROR_POST_PACKET_FAILED = -20021,
    AAX_RESULT_PACKET_STREAM_NOT_EMPTY = -20022,
    AAX_RESULT_ADD_FIELD_UNSUPPORTED_FIELD_TYPE = -20023,
    AAX_ERROR_MIXER_THREAD_FALLING_BEHIND = -20024,
    AAX_ERROR_INVALID_FIELD_INDEX = -20025,
    AAX_ERROR_MALFORMED_CHUNK = -20026,
    AAX_ERROR_TOD_BEHIND = -20027,
    AAX_RESULT_NEW_PACKET_POSTED = -20028,
    AAX_ERROR_PLUGIN_NOT_AUTHORIZED = -20029,
    AAX_ERROR_PLUGIN_NULL_PARAMETER = -20030,
    AAX_ERROR_NOTIFICATION_FAILED = -20031,
    AAX_ERROR_INVALID_VIEW_SIZE = -20032,
    AAX_ERROR_SIGNED_INT_OVERFLOW = -20033,
    AAX_ERROR_NO_COMPONENTS = -20034,
    AAX_ERROR_DUPLICATE_EFFECT_ID = -20035,
    AAX_ERROR_DUPLICATE_TYPE_ID = -20036,
    AAX_ERROR_EMPTY_EFFECT_NAME = -20037,
    AAX_ERROR_UNKNOWN_PLUGIN = -20038,
    AAX_ERROR_PROPERTY_UNDEFINED = -20039,
    AAX_ERROR_INVALID_PATH = -20040,
    AAX_ERROR_UNKNOWN_ID = -20041,
    AAX_ERROR_UNKNOWN_EXCEPTION = -20042,
    AAX_ERROR_INVALID_ARGUMENT = -20043,
    AAX_ERROR_NULL_ARGUMENT = -20044,
    AAX_ERROR_INVALID_INTERNAL_DATA = -20045,
    AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW = -20046,
    // Not a named code: a trace text that could not be formatted.
    AAX_ERROR_TRACE_FORMAT_FAILED = -20051,
    // Codes a plug-in may define for itself.
    AAX_ERROR_PLUGIN_BEGIN = -20600,
    AAX_ERROR_PLUGIN_END = -21000
};

// ---- Stem formats: channel count in the low 16 bits, layout index in the high 16 bits ----
enum AAX_EStemFormat : int32_t
{
    AAX_eStemFormat_None = 0,
    AAX_eStemFormat_Mono = 1,
    AAX_eStemFormat_Stereo = 0x00010002
};
constexpr int32_t AAX_STEM_FORMAT_CHANNEL_COUNT(int32_t inStemFormat) noexcept
{
    return inStemFormat & 0xFFFF;
}

// ---- Properties of a processing configuration --------------------------------------------
// Numbers 10 to 401 are property slots; those below are the ones this system passes or reads.
enum AAX_EProperty : int32_t
{
    AAX_eProperty_NoID = 0,
    AAX_eProperty_MinProp = 10,
    AAX_eProperty_ManufacturerID = 11,
    AAX_eProperty_ProductID = 12,
    AAX_eProperty_PlugInID_Native = 13,
    AAX_eProperty_PlugInID_AudioSuite = 14,
    AAX_eProperty_PlugInID_TI = 15,
    // Pointer properties consumed by the generic process-procedure registration.
    AAX_eProperty_NativeProcessProc = 36,
    AAX_eProperty_NativeInstanceInitProc = 37,
    AAX_eProperty_NativeBackgroundProc = 38,
    AAX_eProperty_TIDLLFileName = 39,
    AAX_eProperty_TIProcessProc = 40,
    AAX_eProperty_TIInstanceInitProc = 41,
    AAX_eProperty_TIBackgroundProc = 42,
    AAX_eProperty_InputStemFormat = 51,
    AAX_eProperty_OutputStemFormat = 52,
    AAX_eProperty_DSP_AudioBufferLength = 54,
    // Format-defined switches and DSP costs whose values the description passes verbatim.
    AAX_eProperty_Option56 = 56,
    AAX_eProperty_Option60 = 60,
    AAX_eProperty_DSP_SharedCycles = 62,
    AAX_eProperty_DSP_InstanceCycles = 63,
    AAX_eProperty_MaxProp = 401
};

// ---- Context fields ---------------------------------------------------------------------
// A data input port holds the last packet posted for it when the render callback runs.
enum AAX_EDataInPortType : int32_t
{
    AAX_eDataInPortType_Unbuffered = 0,
    AAX_eDataInPortType_Latest = 1
};

enum AAX_EPrivateDataOptions : int32_t
{
    AAX_ePrivateDataOptions_DefaultOptions = 0
};

enum AAX_EMIDINodeType : int32_t
{
    AAX_eMIDINodeType_LocalInput = 0
};

// The kind of each field as a host records it.
enum AAX_EFieldKind : int32_t
{
    AAX_eFieldKind_None = 0,
    AAX_eFieldKind_AudioIn,
    AAX_eFieldKind_AudioOut,
    AAX_eFieldKind_AudioBufferLength,
    AAX_eFieldKind_SampleRate,
    AAX_eFieldKind_Clock,
    AAX_eFieldKind_SideChainIn,
    AAX_eFieldKind_DataInPort,
    AAX_eFieldKind_PrivateData,
    AAX_eFieldKind_MIDINode
};

// ---- Description ---------------------------------------------------------------------------
enum AAX_EResourceType : int32_t
{
    AAX_eResourceType_None = 0,
    AAX_eResourceType_PageTable = 1
};

// Procedure-pointer identifiers of the two factories.
enum AAX_EProcPtrID : uint32_t
{
    AAX_eProcPtrID_Create_EffectParameters = 0,
    AAX_eProcPtrID_Create_EffectGUI = 1
};

// The factories return an object whose first base is IACFUnknown, so the host may call them
// through this type and query the returned object for the interface it needs.
class IACFUnknown;
using AAX_CCreateObjectProc = IACFUnknown* (*)();

// Render callback: [begin, end) of an array of context pointers, one per instance.
using AAX_CProcessProc = void(AAX_CALLBACK*)(void* const inInstancesBegin[],
                                             const void* inInstancesEnd);
enum AAX_EComponentInstanceInitAction : int32_t
{
    AAX_eComponentInstanceInitAction_AddingNewInstance = 0,
    AAX_eComponentInstanceInitAction_RemovingInstance = 1,
    AAX_eComponentInstanceInitAction_ResetInstance = 2
};
using AAX_CInstanceInitProc = int32_t(AAX_CALLBACK*)(const void* inInstanceContext,
                                                     AAX_EComponentInstanceInitAction inAction);
using AAX_CBackgroundProc = int32_t(AAX_CALLBACK*)();

// ---- Host services ---------------------------------------------------------------------------
enum AAX_ETracePriorityHost : int32_t
{
    AAX_eTracePriorityHost_None = 0,
    AAX_eTracePriorityHost_Critical = 0x10000000,
    AAX_eTracePriorityHost_High = 0x08000000,
    AAX_eTracePriorityHost_Normal = 0x04000000,
    AAX_eTracePriorityHost_Low = 0x02000000,
    AAX_eTracePriorityHost_Lowest = 0x01000000
};

// Flag of an assertion report from the plug-in's own checks.
enum AAX_EAssertFlags : int32_t
{
    AAX_eAssertFlags_Default = 0,
    AAX_eAssertFlags_Log = 1
};

// ---- Parameters ------------------------------------------------------------------------------
enum AAX_EParameterType : int32_t
{
    AAX_eParameterType_Discrete = 0,
    AAX_eParameterType_Continuous = 1
};

enum AAX_EParameterOrientation : int32_t
{
    AAX_eParameterOrientation_Default = 0
};

// Where a confirmed parameter value came from.
enum AAX_EUpdateSource : int32_t
{
    AAX_eUpdateSource_Unspecified = 0,
    AAX_eUpdateSource_Parameter = 1,
    AAX_eUpdateSource_Chunk = 2,
    AAX_eUpdateSource_Delay = 3
};

// ---- Editor ------------------------------------------------------------------------------------
enum AAX_EHighlightColor : int32_t
{
    AAX_eHighlightColor_Red = 0,
    AAX_eHighlightColor_Blue = 1,
    AAX_eHighlightColor_Green = 2,
    AAX_eHighlightColor_Yellow = 3,
    AAX_eHighlightColor_Num = 4
};

// What the view container's pointer is. Type 1 is the platform's native view: on Linux an
// X11 window (its XID cast to a pointer).
enum AAX_EViewContainer_Type : int32_t
{
    AAX_eViewContainer_Type_NULL = 0,
    AAX_eViewContainer_Type_NSView = 1,
    AAX_eViewContainer_Type_NativeView = 1,
    AAX_eViewContainer_Type_Offscreen = 100
};

// Host modifier bits reported by the view container and passed with mouse events.
enum AAX_EModifiers : uint32_t
{
    AAX_eModifiers_None = 0,
    AAX_eModifiers_Shift = 0x01,
    AAX_eModifiers_Control = 0x02,
    AAX_eModifiers_Option = 0x04,
    AAX_eModifiers_Command = 0x08,
    AAX_eModifiers_SecondaryButton = 0x10
};

// Strings an editor may label itself with.
enum AAX_EPlugInStrings : int32_t
{
    AAX_ePlugInStrings_Analysis = 0,
    AAX_ePlugInStrings_MonoMode = 1,
    AAX_ePlugInStrings_MultiInputMode = 2,
    AAX_ePlugInStrings_RegionByRegionAnalysis = 3,
    AAX_ePlugInStrings_AllSelectedRegionsAnalysis = 4,
    AAX_ePlugInStrings_RegionName = 5,
    AAX_ePlugInStrings_ClipName = 6
};

struct AAX_Point
{
    float vert = 0.0f;
    float horz = 0.0f;
};

struct AAX_Rect
{
    float top = 0.0f;
    float left = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
};

// ---- Saved state -------------------------------------------------------------------------------
// A chunk record: a 56-byte header (integers in native byte order) followed by fSize bytes.
struct AAX_SPlugInChunkHeader
{
    int32_t fSize; // size of the data area that follows the header
    int32_t fVersion;
    AAX_CTypeID fManID;
    AAX_CTypeID fProductID;
    AAX_CTypeID fPlugInID;
    AAX_CTypeID fChunkID;
    unsigned char fName[32]; // zero-terminated, zero-padded
};
static_assert(sizeof(AAX_SPlugInChunkHeader) == 56);

struct AAX_SPlugInChunk
{
    int32_t fSize;
    int32_t fVersion;
    AAX_CTypeID fManID;
    AAX_CTypeID fProductID;
    AAX_CTypeID fPlugInID;
    AAX_CTypeID fChunkID;
    unsigned char fName[32];
    char fData[1]; // the first byte of the data area; the record is allocated larger
};
inline constexpr uint32_t kAAX_ChunkHeaderSize = 56;
static_assert(__builtin_offsetof(AAX_SPlugInChunk, fData) == kAAX_ChunkHeaderSize);

using AAX_SPlugInChunkPtr = AAX_SPlugInChunk*;
