void vrel__main() {
void vrel__main() {

}

}
int main() {
	vrel__main();
}


