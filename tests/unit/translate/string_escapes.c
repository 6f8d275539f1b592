void vrel__main() {
vrel__writeString("a\nb\"c\td\re\'f");
vrel__writeChar('\'');
vrel__writeChar('\"');
vrel__writeString("é");

}
int main() {
	vrel__main();
}


