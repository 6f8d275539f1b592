void vrel__main() {
vrel__writeString("a\\b\\");
vrel__writeChar('\\');
vrel__writeString("\0001\08\0");
vrel__writeString("\\x41");
vrel__writeChar('\0');

}
int main() {
	vrel__main();
}


