void vrel__main() {

}
int main() {
	vrel__main();
}


