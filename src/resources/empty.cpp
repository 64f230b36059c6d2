// Keeps the resource library non-empty before any resource file exists.
namespace tessum { int ResourcesLinked = 0; }
