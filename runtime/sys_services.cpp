#include "runtime/sys_services.h"

#include "formats/aes/aes_object.h"
#include "formats/pe/native_res_object.h"
#include "runtime/helpers/sys_members.h"
#include "runtime/native/sys_native.h"
#include "runtime/script_file.h"
#include "services/api/api_object.h"
#include "services/cdlg/cdlg_object.h"
#include "services/clipboard/clipboard_object.h"
#include "services/console/console_object.h"
#include "services/conv/conv_object.h"
#include "services/file/file_service.h"
#include "services/gdi/gdi_object.h"
#include "services/http/http_object.h"
#include "services/media/media_object.h"
#include "services/power/power_object.h"
#include "services/registry/registry_object.h"

namespace qz {

namespace {

// Objects the host program owns, fetched from the host object by member name.
Ref<Object> host_member(EngineLink& engine, std::u16string_view name) {
  Variant v = get_member_or_empty(engine.host_object(), name);
  const Variant& val = v.deref();
  return val.is_object() ? Ref<Object>(val.as_object()) : Ref<Object>();
}

Ref<Object> host_dde(EngineLink& e) { return host_member(e, u"mDDE"); }
Ref<Object> host_nts(EngineLink& e) { return host_member(e, u"GetNTS"); }
Ref<Object> host_cgi(EngineLink& e) { return host_member(e, u"mCGI"); }

// The services of subsystems 4 to 7 fill in their factories as they arrive.
constexpr SysService kServices[] = {
    {SysField::DDE, u"DDE", false, RunLevel::NoRegistry, host_dde},
    {SysField::NTS, u"NTS", false, RunLevel::NoRegistry, host_nts},
    {SysField::Registry, u"Registry", true, RunLevel::NoRegistry, create_registry_service},
    {SysField::GDI, u"GDI", true, RunLevel::NoGDI, create_gdi_service},
    {SysField::DynAPI, u"DynAPI", true, RunLevel::NoDynAPI, create_dynapi_service},
    {SysField::API, u"API", true, RunLevel::NoAPI, create_api_service},
    {SysField::File, u"File", true, RunLevel::NoFile, create_file_service},
    {SysField::Media, u"Media", true, RunLevel::NoMedia, create_media_service},
    {SysField::Resource, u"Resource", true, RunLevel::NoResource, create_resource_service},
    {SysField::ClipBoard, u"ClipBoard", true, RunLevel::NoClipBoard, create_clipboard_service},
    {SysField::cScreen, u"cScreen", true, RunLevel::NocScreen, nullptr},
    {SysField::Conv, u"Conv", true, RunLevel::NoConv, create_conv_service},
    {SysField::CGI, u"CGI", true, RunLevel::NoCGI, host_cgi},
    {SysField::Power, u"Power", true, RunLevel::NoPower, create_power_service},
    {SysField::Net, u"Net", true, RunLevel::NoNet, create_net_service},
    {SysField::CDlg, u"CDlg", true, RunLevel::NoCDlg, create_cdlg_service},
    {SysField::Crypt, u"Crypt", true, RunLevel::NoCrypt, create_crypt_service},
    {SysField::Console, u"Console", true, RunLevel::NoConsole, create_console_service},
    {SysField::NativeRes, u"NativeRes", true, RunLevel::NoNativeRes, create_nativeres_service},
};

}  // namespace

std::span<const SysService> sys_services() { return kServices; }

}  // namespace qz
