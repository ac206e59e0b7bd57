// The detect string: the extensions the plugin claims, in the host's detect-string syntax.
#include <cstring>

#include "plugin/exports.h"

// 119 extensions in their stored order (not strictly alphabetical), the PostScript family last.
namespace {

constexpr char kDetectString[] =
    "MULTIMEDIA&("
    "EXT=\"ACR\"|EXT=\"ANI\"|EXT=\"AVIF\"|EXT=\"ARW\"|EXT=\"AWD\"|EXT=\"B3D\"|EXT=\"BMP\"|EXT="
    "\"CAM\""
    "|EXT=\"CDR\"|EXT=\"CIN\"|EXT=\"CLP\"|EXT=\"CR2\"|EXT=\"CR3\"|EXT=\"CRW\"|EXT=\"CUR\"|EXT="
    "\"DCM\""
    "|EXT=\"DDS\"|EXT=\"DCR\"|EXT=\"DCX\"|EXT=\"DIB\"|EXT=\"DJVU\"|EXT=\"DNG\"|EXT=\"DPX\"|EXT="
    "\"ECW\""
    "|EXT=\"EMF\"|EXT=\"ERF\"|EXT=\"EXR\"|EXT=\"FIT\"|EXT=\"FITS\"|EXT=\"FPX\"|EXT=\"G3\"|EXT="
    "\"GFIE\""
    "|EXT=\"GIF\"|EXT=\"HDP\"|EXT=\"HEIC\"|EXT=\"HEIF\"|EXT=\"ICO\"|EXT=\"ICS\"|EXT=\"IFF\"|EXT="
    "\"IMA\""
    "|EXT=\"IMG\"|EXT=\"IW44\"|EXT=\"J2K\"|EXT=\"JFIF\"|EXT=\"JP2\"|EXT=\"JPC\"|EXT=\"JPE\"|EXT="
    "\"JPEG\""
    "|EXT=\"JPF\"|EXT=\"JPG\"|EXT=\"JPM\"|EXT=\"JPS\"|EXT=\"JLS\"|EXT=\"JNG\"|EXT=\"JXL\"|EXT="
    "\"JXR\""
    "|EXT=\"KDC\"|EXT=\"LBM\"|EXT=\"MNG\"|EXT=\"MOS\"|EXT=\"MPO\"|EXT=\"MRC\"|EXT=\"MRW\"|EXT="
    "\"MSK\""
    "|EXT=\"NEF\"|EXT=\"NRW\"|EXT=\"ORF\"|EXT=\"QOI\"|EXT=\"PBM\"|EXT=\"PCD\"|EXT=\"PCX\"|EXT="
    "\"PDN\""
    "|EXT=\"PEF\"|EXT=\"PGM\"|EXT=\"PNG\"|EXT=\"PNM\"|EXT=\"PPM\"|EXT=\"PSB\"|EXT=\"PSD\"|EXT="
    "\"PSP\""
    "|EXT=\"RAF\"|EXT=\"RAS\"|EXT=\"RAW\"|EXT=\"RGB\"|EXT=\"RLE\"|EXT=\"RW2\"|EXT=\"RWL\"|EXT="
    "\"SFF\""
    "|EXT=\"SFW\"|EXT=\"SGI\"|EXT=\"SID\"|EXT=\"SRF\"|EXT=\"SRW\"|EXT=\"SUN\"|EXT=\"SVG\"|EXT="
    "\"SWF\""
    "|EXT=\"TGA\"|EXT=\"TIF\"|EXT=\"TIFF\"|EXT=\"WAD\"|EXT=\"WAL\"|EXT=\"WB1\"|EXT=\"WBC\"|EXT="
    "\"WBZ\""
    "|EXT=\"WBMP\"|EXT=\"WDP\"|EXT=\"WEBP\"|EXT=\"WMF\"|EXT=\"WPG\"|EXT=\"WSQ\"|EXT=\"X3F\"|EXT="
    "\"XBM\""
    "|EXT=\"XCF\"|EXT=\"XPM\"|EXT=\"XR\"|EXT=\"EPS\"|EXT=\"PFB\"|EXT=\"PRN\"|EXT=\"PS\""
    ")";

}  // namespace

static_assert(sizeof(kDetectString) == 1212, "the detect string is 1,211 characters long");

void WINAPI ListGetDetectString(char* buffer, int length) {
  if (length <= 0) return;
  if (static_cast<size_t>(length) < sizeof(kDetectString)) {
    buffer[0] = '\0';
    return;
  }
  memcpy(buffer, kDetectString, sizeof(kDetectString));
}
