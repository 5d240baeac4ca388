#pragma once

// Forward declarations of the host's objects and interfaces, so that an interface header can
// name them without pulling in their definitions.
namespace host {

class HostXmlDocument;
class HostXmlElement;
class HostXmlNodeList;
class HostLoadLog;
class HostReport;
class HostPrintContext;
class HostStandards;
class HostStandard;
class HostLimitItem;
class HostTestGuideSettings;
class HostServiceRecord;
class HostTestFilter;
class HostTestInfo;
class HostTestContext;
class HostTestCollection;
class HostTestElement;
class HostMtiList;
class HostCallback;

class IDialog;
class ICustomControl;
class ITestElement;
class IConfigData;
class IResultData;
class ILimitData;
class IMeasurement;
class IMeasurement2;
class IPlugIn;
class ISetup;

} // namespace host
