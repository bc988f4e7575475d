#pragma once
// Every key of a project file (.infil), written once. The reader, the writer
// and docs/project-format.md use these names; a key is renamed here or nowhere.
//
// A project file is one JSON object (UTF-8):
//
//   format           "infil-project"
//   version          1: the layout below; a reader refuses a higher one
//   minorVersion     additions that older readers may ignore (optional, 0)
//   program          the program that wrote the file (informational)
//   project          name, designer, client, site, notes: the first tab's texts
//   drainedArea      parts [{area, coefficient, surface}], spare (optional), reducedArea
//   rain             station, periodicity, durations[9], intensities[9],
//                    designDuration, designIntensity, pickedRow (optional),
//                    stationTable {durations[9], intensities[7][9]} (optional),
//                    source (optional, from minor version 1)
//   soil             kf, name, pickedKf (optional)
//   groundwaterDepth m below the surface
//   design           mode, technology, soilOption, safetyFactor, computed
//   swale            soil
//   combined         soil, swaleKf
//   trench           width, height, fillPorosity
//   pipes            innerDiameter, outerDiameter, count, throttledRate, outletArea,
//                    outletVelocity, throttledOutflow, effectivePorosity
//   overflow         on, confirmed (the combined object's panel)
//   drainage         on, confirmed (the trench's panel)
//   shaft            filterType, shape, product, count, innerDiameter, width, length,
//                    wallThickness, outerDiameter, inflowDepth, filterHeight,
//                    sandHeight, minSeepage
//   basin            specificRate, bottomLength, bottomWidth, depth, sideSlope, settling
//   texts            box name -> text, where a box shows its value otherwise than usual
//   view             tab
//   results          written for other programs, never read: technology, current,
//                    values [{name, caption, unit, value, text}], inflow, verdict
//   recovery         only in a recovery copy: file, written
//
// Units and meanings: docs/project-format.md.

namespace infil::project::key {

// The file itself
inline constexpr const char* kFormat = "format";
inline constexpr const char* kFormatName = "infil-project"; // the value of "format"
inline constexpr const char* kVersion = "version";
inline constexpr const char* kMinorVersion = "minorVersion";
inline constexpr const char* kProgram = "program";

// Sections
inline constexpr const char* kProject = "project";
inline constexpr const char* kDrainedArea = "drainedArea";
inline constexpr const char* kRain = "rain";
inline constexpr const char* kSoil = "soil";
inline constexpr const char* kGroundwaterDepth = "groundwaterDepth";
inline constexpr const char* kDesign = "design";
inline constexpr const char* kSwale = "swale";
inline constexpr const char* kCombined = "combined";
inline constexpr const char* kTrench = "trench";
inline constexpr const char* kPipes = "pipes";
inline constexpr const char* kOverflow = "overflow";
inline constexpr const char* kDrainage = "drainage";
inline constexpr const char* kShaft = "shaft";
inline constexpr const char* kBasin = "basin";
inline constexpr const char* kTexts = "texts";
inline constexpr const char* kView = "view";
inline constexpr const char* kResults = "results";
inline constexpr const char* kRecovery = "recovery";

// project
inline constexpr const char* kName = "name";
inline constexpr const char* kDesigner = "designer";
inline constexpr const char* kClient = "client";
inline constexpr const char* kSite = "site";
inline constexpr const char* kNotes = "notes";

// drainedArea
inline constexpr const char* kParts = "parts";
inline constexpr const char* kSpare = "spare";
inline constexpr const char* kArea = "area";
inline constexpr const char* kCoefficient = "coefficient";
inline constexpr const char* kSurface = "surface";
inline constexpr const char* kReducedArea = "reducedArea";

// rain
inline constexpr const char* kStation = "station";
inline constexpr const char* kPeriodicity = "periodicity";
inline constexpr const char* kDurations = "durations";
inline constexpr const char* kIntensities = "intensities";
inline constexpr const char* kDesignDuration = "designDuration";
inline constexpr const char* kDesignIntensity = "designIntensity";
inline constexpr const char* kPickedRow = "pickedRow";
inline constexpr const char* kStationTable = "stationTable";
inline constexpr const char* kSource = "source";

// soil
inline constexpr const char* kKf = "kf";
inline constexpr const char* kPickedKf = "pickedKf";

// design
inline constexpr const char* kMode = "mode";
inline constexpr const char* kModeDecentralised = "decentralised"; // values of "mode"
inline constexpr const char* kModeCentralised = "centralised";
inline constexpr const char* kTechnology = "technology";
inline constexpr const char* kSoilOption = "soilOption";
inline constexpr const char* kSafetyFactor = "safetyFactor";
inline constexpr const char* kComputed = "computed";

// swale, combined
inline constexpr const char* kSoilChoice = "soil";
inline constexpr const char* kSwaleKf = "swaleKf";

// trench
inline constexpr const char* kWidth = "width";
inline constexpr const char* kHeight = "height";
inline constexpr const char* kFillPorosity = "fillPorosity";

// pipes
inline constexpr const char* kInnerDiameter = "innerDiameter";
inline constexpr const char* kOuterDiameter = "outerDiameter";
inline constexpr const char* kCount = "count";
inline constexpr const char* kThrottledRate = "throttledRate";
inline constexpr const char* kOutletArea = "outletArea";
inline constexpr const char* kOutletVelocity = "outletVelocity";
inline constexpr const char* kThrottledOutflow = "throttledOutflow";
inline constexpr const char* kEffectivePorosity = "effectivePorosity";

// overflow, drainage
inline constexpr const char* kOn = "on";
inline constexpr const char* kConfirmed = "confirmed";

// shaft
inline constexpr const char* kFilterType = "filterType";
inline constexpr const char* kShape = "shape";
inline constexpr const char* kProduct = "product";
inline constexpr const char* kLength = "length";
inline constexpr const char* kWallThickness = "wallThickness";
inline constexpr const char* kInflowDepth = "inflowDepth";
inline constexpr const char* kFilterHeight = "filterHeight";
inline constexpr const char* kSandHeight = "sandHeight";
inline constexpr const char* kMinSeepage = "minSeepage";

// basin
inline constexpr const char* kSpecificRate = "specificRate";
inline constexpr const char* kBottomLength = "bottomLength";
inline constexpr const char* kBottomWidth = "bottomWidth";
inline constexpr const char* kDepth = "depth";
inline constexpr const char* kSideSlope = "sideSlope";
inline constexpr const char* kSettling = "settling";

// view
inline constexpr const char* kTab = "tab";

// results
inline constexpr const char* kCurrent = "current";
inline constexpr const char* kValues = "values";
inline constexpr const char* kCaption = "caption";
inline constexpr const char* kUnit = "unit";
inline constexpr const char* kValue = "value";
inline constexpr const char* kText = "text";
inline constexpr const char* kInflow = "inflow";
inline constexpr const char* kVerdict = "verdict";
inline constexpr const char* kCode = "code";
inline constexpr const char* kSeverity = "severity";

// recovery
inline constexpr const char* kFile = "file";
inline constexpr const char* kWritten = "written";

} // namespace infil::project::key
